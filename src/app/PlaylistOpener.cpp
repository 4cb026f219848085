#include "app/PlaylistOpener.h"

#include "core/Identifiers.h"
#include "core/StreamAddress.h"
#include "download/FileDownloadManager.h"
#include "frame/MainFrame.h"
#include "platform/ModalDialogs.h"
#include "platform/RegularFile.h"
#include "playlists/MyChannels.h"
#include "playlists/PlaylistReader.h"
#include "session/PlaybackSession.h"

#include <wx/app.h>

#include <thread>
#include <vector>

namespace
{
constexpr int kStepMs = 20;
constexpr std::chrono::milliseconds kDownloadSlice{10};

void ShowError(const wxString& text)
{
    platform::MessageBox(text, wc::kAppTitle, wxOK | wxICON_ERROR);
}

// What the message says of entries that did not become rows of their own.
wxString LeftOutText(std::size_t leftOut, std::size_t merged, const wxString& name)
{
    const wxString mergedText = " had the address of an earlier entry and were merged with it.";
    if (leftOut == 0)
        return wxString::Format("%zu of the entries of the playlist %s", merged, name) + mergedText;
    wxString text = wxString::Format(
        "%zu of the entries of the playlist %s were left out: Wavecrest plays only network "
        "streams (http, https, mms, rtsp and rtmp addresses), and at most %zu entries of one "
        "playlist.",
        leftOut, name, kMaxPlaylistEntries);
    if (merged > 0)
        text += wxString::Format(" %zu more", merged) + mergedText;
    return text;
}

bool IsAddress(const std::string& location)
{
    const std::string scheme = AddressScheme(location); // in lower case
    return scheme == "http" || scheme == "https";
}
} // namespace

CPlaylistOpener::CPlaylistOpener() : m_timer(this)
{
    Bind(wxEVT_TIMER, &CPlaylistOpener::OnTimer, this);
}

CPlaylistOpener::~CPlaylistOpener()
{
    m_timer.Stop();
    for (Job& job : m_jobs)
        if (job.download)
            job.download->Cancel();
}

void CPlaylistOpener::Open(const std::string& location)
{
    Job job;
    job.location = location;
    m_jobs.push_back(std::move(job));
    if (!m_timer.IsRunning())
        m_timer.Start(kStepMs);
}

void CPlaylistOpener::OnTimer(wxTimerEvent& /*event*/)
{
    // A message box below runs a loop of its own, in which this timer fires
    // again: the job is taken off the queue first.
    if (m_jobs.empty())
    {
        m_timer.Stop();
        return;
    }
    Job job = std::move(m_jobs.front());
    m_jobs.pop_front();
    if (!Advance(job))
        m_jobs.push_front(std::move(job));
    if (m_jobs.empty())
        m_timer.Stop();
}

bool CPlaylistOpener::Advance(Job& job)
{
    if (!job.read)
    {
        if (!Fetch(job))
            return false;
        if (!job.read)
            return true; // failed, and said so
    }
    return Deliver(job);
}

bool CPlaylistOpener::Fetch(Job& job)
{
    if (!IsAddress(job.location))
    {
        if (platform::ReadRegularFile(job.location, kMaxPlaylistBytes, job.bytes) !=
            platform::FileReadResult::Ok)
        {
            ShowError("The playlist " + wxString::FromUTF8(job.location) +
                      " could not be read. It must be a file of at most 16 MB.");
            return true;
        }
    }
    else
    {
        if (!job.download)
        {
            job.download = std::make_unique<CFileDownloadManager>();
            job.download->SetSourceUrl(wxString::FromUTF8(job.location));
            DownloadLimits limits;
            limits.nMaxBodyBytes = static_cast<std::int64_t>(kMaxPlaylistBytes);
            limits.totalTimeout = std::chrono::seconds(60);
            job.download->SetLimits(limits);
            job.download->Start();
        }
        CFileDownloadManager::State state = job.download->GetState();
        if (state == CFileDownloadManager::State::Running)
            state = job.download->Step(kDownloadSlice);
        if (state == CFileDownloadManager::State::Running)
            return false;
        const bool fetched =
            state == CFileDownloadManager::State::Succeeded &&
            platform::ReadRegularFile(job.download->GetLocalFile().utf8_string(), kMaxPlaylistBytes,
                                      job.bytes) == platform::FileReadResult::Ok;
        job.download->RemoveLocalFile();
        job.download.reset();
        if (!fetched)
        {
            ShowError("The playlist " + wxString::FromUTF8(job.location) +
                      " could not be downloaded.");
            return true;
        }
    }
    job.read = true;
    return true;
}

void CPlaylistOpener::StartReading(Job& job)
{
    job.reading = std::make_shared<Reading>();
    std::thread(
        [reading = job.reading, bytes = std::move(job.bytes), location = job.location]
        {
            Entries& entries = reading->entries;
            entries.known = DetectPlaylistFormat(bytes, location) != PlaylistFormat::Unknown;
            const Playlist list = ReadPlaylist(bytes, location);
            entries.leftOut = list.leftOut;
            entries.merged = list.merged;
            entries.channels.reserve(list.entries.size());
            for (const PlaylistEntry& entry : list.entries)
                entries.channels.push_back(CMyChannels::FromPlaylistEntry(entry));
            reading->done.store(true, std::memory_order_release);
        })
        .detach();
}

bool CPlaylistOpener::Deliver(Job& job)
{
    if (!job.reading)
        StartReading(job);
    if (!job.reading->done.load(std::memory_order_acquire))
        return false;
    const Entries entries = std::move(job.reading->entries);
    const std::vector<CChannelRecord>& channels = entries.channels;
    const wxString name = wxString::FromUTF8(job.location);
    if (!entries.known)
    {
        ShowError(name + " is not a playlist Wavecrest can read (M3U, PLS or XSPF).");
        return true;
    }
    // The session has the radio page add and play them: it shows, or is
    // brought forward, or (at start-up) is still to come.
    auto* mainFrame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
    CPlaybackSession* session = CPlaybackSession::Program();
    if (mainFrame && session && !channels.empty())
    {
        session->Request(PlayRequest{channels, {}, {}});
    }
    else if (!channels.empty())
    {
        // No window to play in: the channels are kept for the next start.
        CMyChannels mine;
        mine.Load();
        for (const CChannelRecord& channel : channels)
            mine.Add(channel);
        if (!mine.Save())
            ShowError("My channels could not be saved in " + wxString::FromUTF8(mine.Path()) + ".");
    }
    if (entries.leftOut > 0 || entries.merged > 0)
        platform::MessageBox(LeftOutText(entries.leftOut, entries.merged, name), wc::kAppTitle,
                             wxOK | (entries.leftOut > 0 ? wxICON_WARNING : wxICON_INFORMATION));
    else if (channels.empty())
        ShowError("The playlist " + name + " holds no channels.");
    return true;
}
