#pragma once
// A loopback test server in its own process: a Python script that prints
// "PORT <n>" as its first line once it listens. The test keeps the write end
// of the server's standard input, so that the server ends with the test even
// when the test dies without cleaning up.

#include <string>
#include <sys/types.h>
#include <vector>

class CServerProcess
{
public:
    // Starts the script with its arguments under the tests' Python and waits
    // for its port; throws std::runtime_error naming `what` when it fails.
    CServerProcess(const std::string& script, const std::vector<std::string>& arguments,
                   const std::string& what);
    ~CServerProcess();
    CServerProcess(const CServerProcess&) = delete;
    CServerProcess& operator=(const CServerProcess&) = delete;

    int Port() const { return m_nPort; }
    // Ends the server and waits for it; its port then refuses connections.
    void Stop();

private:
    pid_t m_pid = -1;
    int m_nStdin = -1;
    int m_nPort = 0;
};

// A loopback port where nothing listens, so that connections are refused at
// once: one the system just handed out and that is closed again.
int RefusingLoopbackPort();
