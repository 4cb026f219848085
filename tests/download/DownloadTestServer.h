#pragma once
// The download tests' view of tests/support/http_test_server.py: starts it on
// loopback in its own process, tells its address and how many requests it
// has seen, and ends it again. Also the folder helpers those tests share.

#include "support/ServerProcess.h"

#include <string>
#include <vector>

class CDownloadTestServer
{
public:
    // Serves the files of root at /files/<name>; with a certificate and key
    // it speaks https instead of http.
    explicit CDownloadTestServer(const std::string& root, const std::string& certificate = "",
                                 const std::string& key = "");
    int Port() const { return m_process.Port(); }
    // The whole address of a path on this server ("/files/list" ...).
    std::string Address(const std::string& path) const;
    // Requests seen so far, and those for exactly one path.
    int RequestCount() const;
    int RequestCount(const std::string& path) const;
    // Ends the server; its port then refuses connections.
    void Stop();

private:
    std::vector<std::string> RequestLines() const;

    std::string m_strScheme;
    std::string m_strLog;
    CServerProcess m_process;
};

// The names in a folder that begin with the prefix (all names for "").
std::vector<std::string> FilesIn(const std::string& folder, const std::string& prefix = "");
// Makes a self-signed certificate for 127.0.0.1; false when openssl is missing.
bool MakeLoopbackCertificate(const std::string& certificate, const std::string& key);
// The body tests serve as a station list: UTF-16 text with a byte order mark,
// CR LF line ends and bytes of every value, larger than one network read.
std::string SampleStationList();

// The folders of one download test below root: a private TMPDIR (where the
// downloader keeps its temporary file), set for the object's lifetime; a
// folder for the test server holding SampleStationList() as servedName; and
// a destination folder that already holds an old station list.
class CDownloadFolders
{
public:
    static constexpr const char* kOldList = "old list";

    CDownloadFolders(const std::string& root, const std::string& servedName,
                     const std::string& destinationFolderName);
    ~CDownloadFolders();
    CDownloadFolders(const CDownloadFolders&) = delete;
    CDownloadFolders& operator=(const CDownloadFolders&) = delete;

    std::string Temp() const { return m_strRoot + "/tmp"; }
    std::string Served() const { return m_strRoot + "/served"; }
    std::string DestinationFolder() const { return m_strRoot + "/" + m_strDestinationName; }
    std::string Destination() const { return DestinationFolder() + "/StationList.zip"; }

private:
    std::string m_strRoot;
    std::string m_strDestinationName;
    std::string m_strOldTmpdir;
    bool m_bHadTmpdir = false;
};
