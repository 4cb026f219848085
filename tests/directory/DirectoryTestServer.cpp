#include "DirectoryTestServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
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

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}
} // namespace

CDirectoryTestServer::CDirectoryTestServer(const std::string& streamBase)
{
    std::vector<std::string> arguments = {WC_PYTHON, WC_DIRECTORY_TEST_SERVER, "--stream-base",
                                          streamBase, "--exit-on-stdin-eof"};
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int input[2], output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make pipes for the directory test server");
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
        throw std::runtime_error("cannot start the directory test server");
    }
    m_nPort = ReadPort(output[0]);
    ::close(output[0]);
    if (m_nPort == 0)
        throw std::runtime_error("the directory test server did not tell its port");
}

CDirectoryTestServer::~CDirectoryTestServer()
{
    if (m_pid > 0)
    {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR)
        {
        }
    }
    if (m_nStdin >= 0)
        ::close(m_nStdin);
}

std::string CDirectoryTestServer::Address(const std::string& mode) const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort) + (mode.empty() ? "" : "/" + mode);
}

std::string CDirectoryTestServer::Requests() const
{
    return GetFromLoopback(m_nPort, "/requests");
}

int CDirectoryTestServer::CountRequests(const std::string& pathPart) const
{
    std::istringstream lines(Requests());
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.substr(0, line.find('\t')).find(pathPart) != std::string::npos)
            ++count;
    return count;
}

int CDirectoryTestServer::Clicks(const std::string& uuid) const
{
    std::istringstream lines(GetFromLoopback(m_nPort, "/clicks"));
    for (std::string id; lines >> id;)
    {
        int count = 0;
        lines >> count;
        if (id == uuid)
            return count;
    }
    return -1;
}

std::string DeadServerAddress()
{
    // A port the system gave out and that was closed again at once.
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

std::string GetFromLoopback(int port, const std::string& path)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(port);
    if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    {
        ::close(socket);
        return std::string();
    }
    const std::string request =
        "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    if (::send(socket, request.data(), request.size(), MSG_NOSIGNAL) < 0)
    {
        ::close(socket);
        return std::string();
    }
    std::string answer;
    char buffer[4096];
    for (ssize_t got; (got = ::recv(socket, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<size_t>(got));
    ::close(socket);
    const auto bodyStart = answer.find("\r\n\r\n");
    return bodyStart == std::string::npos ? std::string() : answer.substr(bodyStart + 4);
}
