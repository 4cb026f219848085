#include "DownloadTestServer.h"

#include "support/TempHome.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
// Reads the server's first line ("PORT <n>"); 0 when it does not come.
int ReadPort(int output)
{
    std::string line;
    char c = 0;
    while (line.size() < 64)
    {
        pollfd ready = {output, POLLIN, 0};
        if (::poll(&ready, 1, 20000) <= 0)
            return 0;
        const ssize_t got = ::read(output, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || c == '\n')
            break;
        line += c;
    }
    return line.rfind("PORT ", 0) == 0 ? std::atoi(line.c_str() + 5) : 0;
}
} // namespace

CDownloadTestServer::CDownloadTestServer(const std::string& root, const std::string& certificate,
                                         const std::string& key)
    : m_strScheme(certificate.empty() ? "http" : "https"), m_strLog(root + "/.requests.log")
{
    std::vector<std::string> arguments = {WC_PYTHON, WC_HTTP_TEST_SERVER,  "--root", root, "--log",
                                          m_strLog,  "--exit-on-stdin-eof"};
    if (!certificate.empty())
        arguments.insert(arguments.end(), {"--tls", certificate, key});
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The test keeps the write end of the server's stdin: when the test
    // process dies, the server sees end of file and ends too.
    int input[2], output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make pipes for the test server");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    const int failed = posix_spawn(&m_pid, WC_PYTHON, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    m_nStdin = input[1];
    if (failed != 0)
    {
        m_pid = -1;
        ::close(output[0]);
        throw std::runtime_error("cannot start the test server");
    }
    m_nPort = ReadPort(output[0]);
    ::close(output[0]);
    if (m_nPort == 0)
    {
        Stop();
        throw std::runtime_error("the test server did not tell its port");
    }
}

CDownloadTestServer::~CDownloadTestServer()
{
    Stop();
}

void CDownloadTestServer::Stop()
{
    if (m_pid > 0)
    {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR)
        {
        }
        m_pid = -1;
    }
    if (m_nStdin >= 0)
        ::close(m_nStdin);
    m_nStdin = -1;
}

std::string CDownloadTestServer::Address(const std::string& path) const
{
    return m_strScheme + "://127.0.0.1:" + std::to_string(m_nPort) + path;
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
