#include "DownloadTestServer.h"

#include "support/TempHome.h"

#include <cstdlib>
#include <dirent.h>
#include <sstream>
#include <sys/stat.h>

namespace
{
std::vector<std::string> ServerArguments(const std::string& root, const std::string& log,
                                         const std::string& certificate, const std::string& key)
{
    std::vector<std::string> arguments = {"--root", root, "--log", log};
    if (!certificate.empty())
        arguments.insert(arguments.end(), {"--tls", certificate, key});
    return arguments;
}
} // namespace

CDownloadTestServer::CDownloadTestServer(const std::string& root, const std::string& certificate,
                                         const std::string& key)
    : m_strScheme(certificate.empty() ? "http" : "https"), m_strLog(root + "/.requests.log"),
      m_process(WC_HTTP_TEST_SERVER, ServerArguments(root, m_strLog, certificate, key),
                "test server")
{
}

void CDownloadTestServer::Stop()
{
    m_process.Stop();
}

std::string CDownloadTestServer::Address(const std::string& path) const
{
    return m_strScheme + "://127.0.0.1:" + std::to_string(m_process.Port()) + path;
}

std::vector<std::string> CDownloadTestServer::RequestLines() const
{
    std::vector<std::string> lines;
    std::istringstream log(ReadWholeFile(m_strLog));
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

int CDownloadTestServer::RequestCount() const
{
    return int(RequestLines().size());
}

int CDownloadTestServer::RequestCount(const std::string& path) const
{
    int count = 0;
    for (const auto& line : RequestLines())
        count += line.substr(line.find(' ') + 1) == path ? 1 : 0;
    return count;
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& prefix)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str()))
    {
        while (const dirent* entry = ::readdir(dir))
        {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name.rfind(prefix, 0) == 0)
                names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

bool MakeLoopbackCertificate(const std::string& certificate, const std::string& key)
{
    const std::string command =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
        " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
        key + "' -out '" + certificate + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && FileExists(certificate) && FileExists(key);
}

std::string SampleStationList()
{
    std::string body = "\xFF\xFE"; // UTF-16 little-endian byte order mark
    const std::string line = "Name,Genre,Country,Language,Radio,http://127.0.0.1/x,1\r\n";
    while (body.size() < 300 * 1024)
    {
        for (char c : line)
            body += std::string{c, '\0'};
        for (int value = 0; value < 256; value += 2)
            body += std::string{char(value), char(value + 1)};
    }
    return body;
}

CDownloadFolders::CDownloadFolders(const std::string& root, const std::string& servedName,
                                   const std::string& destinationFolderName)
    : m_strRoot(root), m_strDestinationName(destinationFolderName)
{
    if (const char* old = std::getenv("TMPDIR"))
    {
        m_strOldTmpdir = old;
        m_bHadTmpdir = true;
    }
    for (const std::string& folder : {Temp(), Served(), DestinationFolder()})
        ::mkdir(folder.c_str(), 0700);
    ::setenv("TMPDIR", Temp().c_str(), 1);
    ::setenv("no_proxy", "127.0.0.1", 1);
    WriteWholeFile(Served() + "/" + servedName, SampleStationList());
    WriteWholeFile(Destination(), kOldList);
}

CDownloadFolders::~CDownloadFolders()
{
    if (m_bHadTmpdir)
        ::setenv("TMPDIR", m_strOldTmpdir.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}
