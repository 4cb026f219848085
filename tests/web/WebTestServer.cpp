#include "web/WebTestServer.h"

#include "support/ServerProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
// Generous: the first start of Python on a busy machine can be slow.
constexpr int kStartTimeoutMilliseconds = 20000;
} // namespace

CWebTestServer::CWebTestServer(const std::string& title)
{
    int toServer[2], fromServer[2];
    if (::pipe2(toServer, O_CLOEXEC) != 0)
        return;
    if (::pipe2(fromServer, O_CLOEXEC) != 0)
    {
        ::close(toServer[0]);
        ::close(toServer[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toServer[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromServer[1], STDOUT_FILENO);
    std::string python = WC_PYTHON, script = WC_WEB_TEST_SERVER, option = "--title";
    std::string titleArgument = title;
    char* args[] = {python.data(), script.data(), option.data(), titleArgument.data(), nullptr};
    if (::posix_spawn(&m_nPid, python.c_str(), &actions, nullptr, args, environ) != 0)
        m_nPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(toServer[0]);
    ::close(fromServer[1]);
    m_nToServer = toServer[1];
    m_nFromServer = fromServer[0];
    if (m_nPid > 0)
        ReadReports(true);
}

CWebTestServer::~CWebTestServer()
{
    if (m_nPid > 0)
    {
        ::kill(m_nPid, SIGTERM);
        ::waitpid(m_nPid, nullptr, 0);
    }
    if (m_nToServer >= 0)
        ::close(m_nToServer);
    if (m_nFromServer >= 0)
        ::close(m_nFromServer);
}

std::string CWebTestServer::Address() const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort) + "/";
}

const std::vector<std::string>& CWebTestServer::RequestPaths()
{
    ReadReports(false);
    return m_requestPaths;
}

int CWebTestServer::CountRequests(const std::string& path)
{
    const auto& paths = RequestPaths();
    return static_cast<int>(std::count(paths.begin(), paths.end(), path));
}

// Reads what the server has written so far. Until the port is known it
// waits for the first line (with a time limit); afterwards it never blocks.
void CWebTestServer::ReadReports(bool waitForLine)
{
    for (;;)
    {
        pollfd ready = {m_nFromServer, POLLIN, 0};
        if (::poll(&ready, 1, waitForLine ? kStartTimeoutMilliseconds : 0) <= 0)
            return;
        char buffer[4096];
        const ssize_t count = ::read(m_nFromServer, buffer, sizeof buffer);
        if (count <= 0)
            return;
        m_strUnread.append(buffer, static_cast<size_t>(count));
        for (size_t end; (end = m_strUnread.find('\n')) != std::string::npos;)
        {
            const std::string line = m_strUnread.substr(0, end);
            m_strUnread.erase(0, end + 1);
            if (line.rfind("PORT ", 0) == 0)
                m_nPort = std::stoi(line.substr(5));
            else if (line.rfind("GET ", 0) == 0)
                m_requestPaths.push_back(line.substr(4));
        }
        if (waitForLine && m_nPort != 0)
            waitForLine = false;
    }
}

std::string UnreachableAddress()
{
    return "http://127.0.0.1:" + std::to_string(RefusingLoopbackPort()) + "/";
}
