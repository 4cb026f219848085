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

#include <atomic>
#include <chrono>
#include <deque>
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
        std::size_t merged = 0;
    };
    // A reading of the bytes beside the GUI thread. The thread owns its
    // bytes and shares only this with the opener, which never waits for it:
    // an opener that goes (the program ends) leaves it running on what it
    // owns, and the process's end takes it along.
    struct Reading
    {
        std::atomic<bool> done{false};
        Entries entries; // written by the thread before done, read after it
    };
    struct Job
    {
        std::string location;
        std::unique_ptr<CFileDownloadManager> download;
        std::string bytes;
        bool read = false;
        std::shared_ptr<Reading> reading; // the bytes read into channels
    };

    // Starts reading the job's bytes on a thread of its own.
    static void StartReading(Job& job);

    void OnTimer(wxTimerEvent& event);
    // Moves the first job on; true when it is finished.
    bool Advance(Job& job);
    bool Fetch(Job& job);
    // Hands the entries to the radio page; false while there is none yet.
    bool Deliver(Job& job);

    std::deque<Job> m_jobs;
    wxTimer m_timer;
};
