#pragma once
// Downloads one address (http, https or file) into a fresh temporary file and,
// once the body has arrived whole, puts it in place of a destination file.
//
// The transfer never blocks for long: Start() sets it up, and each Step() lets
// it run for a bounded slice of time, so the caller (the download dialog, on
// the GUI thread) stays responsive and can cancel between two steps. Download()
// runs the steps in a loop for callers that need no window.

#include "platform/Files.h"

#include <wx/string.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// What a transfer may take before it is given up.
struct DownloadLimits
{
    // Longest wait for the connection to the server to be set up.
    std::chrono::milliseconds connectTimeout{15000};
    // Longest time without a single byte from the server (a dead or stalled
    // server), counted from the start and from every piece of data received.
    std::chrono::milliseconds stallTimeout{30000};
    // Longest time for the whole transfer, from its start: a server that
    // sends a byte now and then, never quite stalling, is given up too.
    std::chrono::milliseconds totalTimeout{120000};
    // Largest body accepted; a longer one is refused, so a broken server
    // cannot fill the disk.
    std::int64_t nMaxBodyBytes = std::int64_t(64) * 1024 * 1024;
};

// The protocols a redirect may lead to, in libcurl's list form, for a
// transfer that starts at this address: one that starts on https stays on
// https (a redirect to plain http would let anyone on the way choose what is
// fetched); any other may go to http or https. Never to a local file.
const char* RedirectProtocolsFor(const wxString& address);

class CFileDownloadManager
{
public:
    enum class State
    {
        Idle,      // nothing started yet
        Running,   // transfer under way
        Succeeded, // the whole body is in the temporary file
        Failed,    // given up; the temporary file is gone
        Cancelled  // stopped by the owner; the temporary file is gone
    };

    CFileDownloadManager();
    virtual ~CFileDownloadManager();
    CFileDownloadManager(const CFileDownloadManager&) = delete;
    CFileDownloadManager& operator=(const CFileDownloadManager&) = delete;

    // The address to fetch; set before each download.
    void SetSourceUrl(const wxString& url) { m_strSourceUrl = url; }
    const wxString& GetSourceUrl() const { return m_strSourceUrl; }
    void SetLimits(const DownloadLimits& limits) { m_limits = limits; }
    const DownloadLimits& GetLimits() const { return m_limits; }
    // A PEM file of certificate authorities to trust instead of the system's
    // (empty: the system's).
    void SetCertificateAuthorities(const wxString& path) { m_strCaFile = path; }

    // Creates the temporary file and starts the transfer; false (and state
    // Failed) when it cannot even start.
    bool Start();
    // Lets a running transfer go on for about that long at most (zero: only
    // what can be done without waiting) and returns the state afterwards.
    State Step(std::chrono::milliseconds budget);
    // Stops the transfer (or drops a finished download not yet stored) and
    // removes the temporary file.
    void Cancel();
    // The whole transfer on the calling thread: Start, then steps until it
    // ends; shouldCancel is asked between steps. True when it succeeded.
    bool Download(const std::function<bool()>& shouldCancel = nullptr);

    // Puts a successful download in place of the destination file: the body is
    // written to a new file beside it, flushed to disk and renamed over it, so
    // a reader sees either the old file or the whole new one. The temporary
    // file is removed whatever happens. True when the destination was replaced.
    bool ReplaceFile(const wxString& destination);
    // Removes the temporary file, if there is one.
    void RemoveLocalFile();

    State GetState() const { return m_state; }
    // The temporary file of the current download (empty when there is none).
    const wxString& GetLocalFile() const { return m_strLocalFile; }
    std::int64_t GetBytesReceived() const { return m_nBytesReceived; }
    // Why the last download failed, in English, for diagnostics.
    const wxString& GetErrorText() const { return m_strError; }

private:
    struct CTransfer;

    bool CreateTempFileName();
    bool SetUpTransfer();
    bool CollectResult();
    void Finish(int curlCode);
    void Fail(const wxString& reason);
    bool IsStalled() const;
    bool IsOverdue() const;
    size_t WriteBody(const char* data, size_t size);

    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);

    wxString m_strSourceUrl;
    wxString m_strLocalFile;
    wxString m_strCaFile;
    wxString m_strError;
    DownloadLimits m_limits;
    State m_state = State::Idle;
    platform::CTemporaryFile m_localFile; // what the body is written to
    std::int64_t m_nBytesReceived = 0;
    bool m_bTooLarge = false;
    bool m_bWriteFailed = false;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_lastActivity;
    std::unique_ptr<CTransfer> m_pTransfer;
};
