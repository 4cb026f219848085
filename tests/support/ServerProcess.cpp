#include "ServerProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
// Reads the server's first line ("PORT <n>"); 0 when it does not come in
// time. The limit is generous: a loaded machine starts Python slowly.
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

CServerProcess::CServerProcess(const std::string& script, const std::vector<std::string>& arguments,
                               const std::string& what)
{
    std::vector<std::string> words = {WC_PYTHON, script};
    words.insert(words.end(), arguments.begin(), arguments.end());
    words.push_back("--exit-on-stdin-eof");
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int input[2], output[2];
    if (::pipe2(input, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make pipes for the " + what);
    if (::pipe2(output, O_CLOEXEC) != 0)
    {
        ::close(input[0]);
        ::close(input[1]);
        throw std::runtime_error("cannot make pipes for the " + what);
    }
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
        Stop();
        throw std::runtime_error("cannot start the " + what);
    }
    m_nPort = ReadPort(output[0]);
    ::close(output[0]);
    if (m_nPort == 0)
    {
        Stop();
        throw std::runtime_error("the " + what + " did not tell its port");
    }
}

CServerProcess::~CServerProcess()
{
    Stop();
}

void CServerProcess::Stop()
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

int RefusingLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(probe, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(probe);
    return port;
}
