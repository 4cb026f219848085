#pragma once
// Runs tests/support/stream_server.py (live test streams on 127.0.0.1) for
// the lifetime of the object: starts it, learns its address, reads which
// paths were asked for, and ends it (with every ffmpeg it started) at the end.

#include <string>
#include <sys/types.h>
#include <vector>

class CStreamServerProcess
{
public:
    CStreamServerProcess();
    ~CStreamServerProcess();
    CStreamServerProcess(const CStreamServerProcess&) = delete;
    CStreamServerProcess& operator=(const CStreamServerProcess&) = delete;

    // False when the server could not be started (Address() is empty then).
    bool IsRunning() const { return m_nPid > 0 && !m_strAddress.empty(); }
    // "http://127.0.0.1:PORT"
    const std::string& Address() const { return m_strAddress; }
    // The address of a path on the server ("/radio/440.mp3" and the like).
    std::string Url(const std::string& strPath) const { return m_strAddress + strPath; }
    // Every path (with its query) asked for so far, in order.
    std::vector<std::string> RequestedPaths() const;
    // How often exactly this path (with its query) was asked for.
    int RequestCount(const std::string& strPath) const;
    void Stop();

private:
    pid_t m_nPid;
    std::string m_strFolder;
    std::string m_strLog;
    std::string m_strAddress;
};

// A loopback port on which nothing listens (a connection to it is refused).
int UnusedLoopbackPort();
