#include "download/FileDownloadManager.h"

#include "platform/UserFolders.h"

#include <curl/curl.h>

#include <algorithm>

namespace
{

using Clock = std::chrono::steady_clock;

// The temporary file's name is this prefix and six characters mkstemp picks.
constexpr char kTempPrefix[] = "WCF";
// Redirects are followed, but a loop of them must end somewhere.
constexpr long kMaxRedirects = 10;
// Longest single wait inside a step, so a step never overshoots its budget by much.
constexpr std::chrono::milliseconds kLongestPoll{50};
// Slice of time Download() gives each step between two cancel checks.
constexpr std::chrono::milliseconds kDownloadStep{100};

void InitCurlOnce()
{
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)initialised;
}

// The station list is the program's own; nobody else needs to read it.
constexpr unsigned kDownloadedFileMode = 0600;

bool IsHttpScheme(const char* scheme)
{
    if (!scheme)
        return false;
    const wxString name = wxString::FromUTF8(scheme).Lower();
    return name == "http" || name == "https";
}

} // namespace

const char* RedirectProtocolsFor(const wxString& address)
{
    // The scheme in any case; white space in front is no part of it.
    const wxString start = wxString(address).Trim(false).Left(8).Lower();
    return start == "https://" ? "https" : "http,https";
}

// The libcurl handles of one transfer.
struct CFileDownloadManager::CTransfer
{
    CURL* pEasy = nullptr;
    CURLM* pMulti = nullptr;
    curl_slist* pHeaders = nullptr;
    bool bAdded = false;
    char szError[CURL_ERROR_SIZE] = {};

    ~CTransfer()
    {
        if (bAdded)
            curl_multi_remove_handle(pMulti, pEasy);
        if (pEasy)
            curl_easy_cleanup(pEasy);
        if (pMulti)
            curl_multi_cleanup(pMulti);
        curl_slist_free_all(pHeaders);
    }
};

CFileDownloadManager::CFileDownloadManager()
{
    InitCurlOnce();
}

CFileDownloadManager::~CFileDownloadManager()
{
    m_pTransfer.reset();
    RemoveLocalFile();
}

bool CFileDownloadManager::Start()
{
    m_pTransfer.reset();
    RemoveLocalFile();
    m_strError.clear();
    m_nBytesReceived = 0;
    m_bTooLarge = false;
    m_bWriteFailed = false;
    if (!CreateTempFileName())
    {
        Fail("cannot create a temporary file in " + wxString(platform::TemporaryFolder()));
        return false;
    }
    if (!SetUpTransfer())
    {
        Fail("cannot set up the transfer");
        return false;
    }
    m_state = State::Running;
    m_started = Clock::now();
    m_lastActivity = m_started;
    return true;
}

bool CFileDownloadManager::CreateTempFileName()
{
    if (!m_localFile.Create(platform::TemporaryFolder(), kTempPrefix))
        return false;
    m_strLocalFile = wxString(m_localFile.Path().c_str(), *wxConvFileName);
    return true;
}

bool CFileDownloadManager::SetUpTransfer()
{
    auto transfer = std::make_unique<CTransfer>();
    transfer->pEasy = curl_easy_init();
    transfer->pMulti = curl_multi_init();
    if (!transfer->pEasy || !transfer->pMulti)
        return false;
    transfer->pHeaders = curl_slist_append(nullptr, "Cache-Control: no-cache");
    transfer->pHeaders = curl_slist_append(transfer->pHeaders, "Pragma: no-cache");

    CURL* easy = transfer->pEasy;
    bool ok = true;
    auto set = [&ok, easy](CURLoption option, auto value)
    { ok = curl_easy_setopt(easy, option, value) == CURLE_OK && ok; };
    set(CURLOPT_URL, m_strSourceUrl.utf8_str().data());
    set(CURLOPT_PROTOCOLS_STR, "http,https,file");
    set(CURLOPT_REDIR_PROTOCOLS_STR, RedirectProtocolsFor(m_strSourceUrl));
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    set(CURLOPT_FAILONERROR, 1L);
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_strCaFile.empty())
        set(CURLOPT_CAINFO, static_cast<const char*>(m_strCaFile.fn_str()));
    set(CURLOPT_CONNECTTIMEOUT_MS, long(m_limits.connectTimeout.count()));
    set(CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_limits.nMaxBodyBytes));
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_USERAGENT, "Wavecrest/1.0");
    set(CURLOPT_HTTPHEADER, transfer->pHeaders);
    set(CURLOPT_ERRORBUFFER, transfer->szError);
    set(CURLOPT_WRITEFUNCTION, &CFileDownloadManager::OnBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    set(CURLOPT_HEADERFUNCTION, &CFileDownloadManager::OnHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    if (!ok || curl_multi_add_handle(transfer->pMulti, easy) != CURLM_OK)
        return false;
    transfer->bAdded = true;
    m_pTransfer = std::move(transfer);
    return true;
}

CFileDownloadManager::State CFileDownloadManager::Step(std::chrono::milliseconds budget)
{
    const auto deadline = Clock::now() + budget;
    while (m_state == State::Running)
    {
        int nRunning = 0;
        if (curl_multi_perform(m_pTransfer->pMulti, &nRunning) != CURLM_OK)
        {
            Fail("the transfer broke down");
            break;
        }
        if (CollectResult())
            break;
        if (IsStalled())
        {
            Fail(wxString::Format("no data from the server for %lld ms",
                                  static_cast<long long>(m_limits.stallTimeout.count())));
            break;
        }
        if (IsOverdue())
        {
            Fail(wxString::Format("the download took longer than %lld ms",
                                  static_cast<long long>(m_limits.totalTimeout.count())));
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        curl_multi_poll(m_pTransfer->pMulti, nullptr, 0, int(std::min(left, kLongestPoll).count()),
                        nullptr);
    }
    return m_state;
}

bool CFileDownloadManager::IsStalled() const
{
    return Clock::now() - m_lastActivity > m_limits.stallTimeout;
}

bool CFileDownloadManager::IsOverdue() const
{
    return Clock::now() - m_started > m_limits.totalTimeout;
}

// True when the transfer has ended (well or badly).
bool CFileDownloadManager::CollectResult()
{
    int nLeft = 0;
    while (CURLMsg* message = curl_multi_info_read(m_pTransfer->pMulti, &nLeft))
    {
        if (message->msg == CURLMSG_DONE)
        {
            Finish(message->data.result);
            return true;
        }
    }
    return false;
}

void CFileDownloadManager::Finish(int curlCode)
{
    const CURLcode code = CURLcode(curlCode);
    CURL* easy = m_pTransfer->pEasy;
    if (m_bTooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return Fail(wxString::Format("the body is larger than %lld bytes",
                                     static_cast<long long>(m_limits.nMaxBodyBytes)));
    if (m_bWriteFailed)
        return Fail("cannot write the temporary file");
    if (code != CURLE_OK)
        return Fail(m_pTransfer->szError[0] ? wxString::FromUTF8(m_pTransfer->szError)
                                            : wxString::FromUTF8(curl_easy_strerror(code)));
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    const char* scheme = nullptr;
    curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
    // Only a real answer counts: an error status, or a redirect that could
    // not be followed, leaves no station list.
    if (IsHttpScheme(scheme) && (status < 200 || status > 299))
        return Fail(wxString::Format("the server answered with status %ld", status));
    m_pTransfer.reset();
    m_state = State::Succeeded;
}

void CFileDownloadManager::Fail(const wxString& reason)
{
    m_strError = reason;
    m_state = State::Failed;
    m_pTransfer.reset();
    RemoveLocalFile();
}

void CFileDownloadManager::Cancel()
{
    if (m_state != State::Running && m_state != State::Succeeded)
        return;
    m_strError = "cancelled";
    m_state = State::Cancelled;
    m_pTransfer.reset();
    RemoveLocalFile();
}

bool CFileDownloadManager::Download(const std::function<bool()>& shouldCancel)
{
    if (!Start())
        return false;
    while (Step(kDownloadStep) == State::Running)
    {
        if (shouldCancel && shouldCancel())
            Cancel();
    }
    return m_state == State::Succeeded;
}

bool CFileDownloadManager::ReplaceFile(const wxString& destination)
{
    const bool ok = m_state == State::Succeeded && m_localFile.IsOpen() &&
                    platform::ReplaceFileAtomically(std::string(destination.fn_str()), m_localFile,
                                                    kDownloadedFileMode);
    RemoveLocalFile();
    return ok;
}

void CFileDownloadManager::RemoveLocalFile()
{
    m_localFile.Remove();
    m_strLocalFile.clear();
}

size_t CFileDownloadManager::WriteBody(const char* data, size_t size)
{
    m_lastActivity = Clock::now();
    if (m_nBytesReceived + std::int64_t(size) > m_limits.nMaxBodyBytes)
    {
        m_bTooLarge = true;
        return CURL_WRITEFUNC_ERROR;
    }
    if (!m_localFile.Write(data, size))
    {
        m_bWriteFailed = true;
        return CURL_WRITEFUNC_ERROR;
    }
    m_nBytesReceived += std::int64_t(size);
    return size;
}

size_t CFileDownloadManager::OnBody(char* data, size_t size, size_t count, void* self)
{
    return static_cast<CFileDownloadManager*>(self)->WriteBody(data, size * count);
}

size_t CFileDownloadManager::OnHeader(char*, size_t size, size_t count, void* self)
{
    static_cast<CFileDownloadManager*>(self)->m_lastActivity = Clock::now();
    return size * count;
}
