#pragma once
// A loopback web site for one test: runs tests/support/web_test_server.py as
// a child process, learns its port and reads the requests it reports. The
// server is ended when the object goes.

#include <string>
#include <sys/types.h>
#include <vector>

class CWebTestServer
{
public:
    // Starts the server; its pages carry that title. IsRunning() tells
    // whether it came up.
    explicit CWebTestServer(const std::string& title);
    ~CWebTestServer();
    CWebTestServer(const CWebTestServer&) = delete;
    CWebTestServer& operator=(const CWebTestServer&) = delete;

    bool IsRunning() const { return m_nPort != 0; }
    // The site's root address, "http://127.0.0.1:<port>/".
    std::string Address() const;
    // The paths of all requests the server has reported so far, in order.
    const std::vector<std::string>& RequestPaths();
    // How many requests asked for exactly that path.
    int CountRequests(const std::string& path);

private:
    void ReadReports(bool waitForLine);

    pid_t m_nPid = -1;
    int m_nToServer = -1;
    int m_nFromServer = -1;
    int m_nPort = 0;
    std::string m_strUnread;
    std::vector<std::string> m_requestPaths;
};

// An address on loopback where nothing listens: connections are refused.
std::string UnreachableAddress();
