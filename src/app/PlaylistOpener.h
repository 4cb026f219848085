#pragma once
// Opens the playlists a start names (on its own command line or handed over
// by a later start): reads a local file, or downloads an http(s) address a
// slice at a time on a timer so that the window keeps answering; then its
// entries join My channels on the radio page and the first one plays. One
// message tells about entries left out, or why nothing could be opened. A
// large list is read beside the GUI thread.

#include <wx/event.h>
#include <wx/timer.h>

#include "catalogue/ChannelRecord.h"

#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <vector>

class CFileDownloadManager;

class CPlaylistOpener : public wxEvtHandler
{
public:
    CPlaylistOpener();
    ~CPlaylistOpener() override;

    // Opens the playlist at that address or absolute path, after those
    // asked for before.
    void Open(const std::string& location);

private:
    // What reading a playlist's bytes gives.
    struct Entries
    {
        bool known = false; // the format was recognised
        std::vector<CChannelRecord> channels;
        std::size_t leftOut = 0;
    };
    struct Job
    {
        std::string location;
        std::unique_ptr<CFileDownloadManager> download;
        std::string bytes;
        bool read = false;
        std::future<Entries> reading; // the bytes read into channels
    };

    void OnTimer(wxTimerEvent& event);
    // Moves the first job on; true when it is finished.
    bool Advance(Job& job);
    bool Fetch(Job& job);
    // Hands the entries to the radio page; false while there is none yet.
    bool Deliver(Job& job);

    std::deque<Job> m_jobs;
    wxTimer m_timer;
};
