#pragma once
// The directory tests' view of tests/support/directory_test_server.py: starts
// it on loopback in its own process, reads what it saw (the requests, the
// counted plays) and ends it again; and the address of a server that is down.

#include "support/ServerProcess.h"

#include <string>

class CDirectoryTestServer
{
public:
    // streamBase goes before each station's stream path in its address.
    explicit CDirectoryTestServer(const std::string& streamBase = "http://127.0.0.1:9");

    // "http://127.0.0.1:PORT", with "/<mode>" for the hostile answers.
    std::string Address(const std::string& mode = "") const;
    // Every request so far, one "<path>\t<User-Agent>" a line.
    std::string Requests() const;
    int CountRequests(const std::string& pathPart) const;
    // How often a play of the station was counted.
    int Clicks(const std::string& uuid) const;

private:
    CServerProcess m_process;
};

// An address on loopback where nothing listens: connections are refused.
std::string DeadServerAddress();
// The body of a GET on loopback (plain http), empty when it fails.
std::string GetFromLoopback(int port, const std::string& path);
