#include "directory/DirectoryFetch.h"

#include <curl/curl.h>

#include <chrono>

namespace
{
using Clock = std::chrono::steady_clock;

struct Transfer
{
    std::string body;
    std::size_t nMaxBytes = 0;
    bool bTooLarge = false;
    const std::atomic<bool>* pCancelled = nullptr;
    std::chrono::milliseconds stallTimeout{0};
    Clock::time_point lastData;
    curl_off_t nLastReceived = 0;
    bool bStalled = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->nMaxBytes)
    {
        transfer->bTooLarge = true;
        return 0; // ends the transfer
    }
    transfer->body.append(data, bytes);
    return bytes;
}

// Called about once a second at least, and as data arrives.
int OnProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
{
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->pCancelled->load())
        return 1;
    const auto now = Clock::now();
    if (received != transfer->nLastReceived)
    {
        transfer->nLastReceived = received;
        transfer->lastData = now;
    }
    else if (now - transfer->lastData > transfer->stallTimeout)
    {
        transfer->bStalled = true;
        return 1;
    }
    return 0;
}

void InitialiseCurlOnce()
{
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)initialised;
}

std::string Megabytes(std::size_t bytes)
{
    return std::to_string(bytes / (1024u * 1024u)) + " MiB";
}
} // namespace

const char* DirectoryUserAgent()
{
    return "Wavecrest/" WAVECREST_VERSION;
}

FetchResult FetchFromDirectory(const std::string& address, const DirectoryLimits& limits,
                               std::size_t nMaxBodyBytes, const std::atomic<bool>& cancelled)
{
    InitialiseCurlOnce();
    FetchResult result;
    CURL* easy = curl_easy_init();
    if (!easy)
    {
        result.error = "the network library could not start a request";
        return result;
    }
    Transfer transfer;
    transfer.nMaxBytes = nMaxBodyBytes;
    transfer.pCancelled = &cancelled;
    transfer.stallTimeout = limits.stallTimeout;
    transfer.lastData = Clock::now();

    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connectTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(limits.totalTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(nMaxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, ""); // whatever the library can decode
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A request given up while the server's name is still being looked up
    // does not wait for the resolver's thread.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, DirectoryUserAgent());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, static_cast<void*>(&transfer));
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, static_cast<void*>(&transfer));
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(easy);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(easy);

    if (transfer.bTooLarge || code == CURLE_FILESIZE_EXCEEDED)
    {
        result.bTooLarge = true;
        result.error = "the answer is larger than " + Megabytes(nMaxBodyBytes);
    }
    else if (cancelled.load())
        result.error = "the request was cancelled";
    else if (transfer.bStalled)
        result.error = "the server stopped sending";
    else if (code == CURLE_OPERATION_TIMEDOUT)
        result.error = "the server did not answer in time";
    else if (code != CURLE_OK)
        result.error = errorText[0] ? errorText : curl_easy_strerror(code);
    else if (status < 200 || status >= 300)
        result.error = "the server answered with status " + std::to_string(status);
    else
    {
        result.ok = true;
        result.body = std::move(transfer.body);
    }
    return result;
}
