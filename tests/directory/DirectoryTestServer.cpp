#include "DirectoryTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

CDirectoryTestServer::CDirectoryTestServer(const std::string& streamBase)
    : m_process(WC_DIRECTORY_TEST_SERVER, {"--stream-base", streamBase}, "directory test server")
{
}

std::string CDirectoryTestServer::Address(const std::string& mode) const
{
    return "http://127.0.0.1:" + std::to_string(m_process.Port()) +
           (mode.empty() ? "" : "/" + mode);
}

std::string CDirectoryTestServer::Requests() const
{
    return GetFromLoopback(m_process.Port(), "/requests");
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
    std::istringstream lines(GetFromLoopback(m_process.Port(), "/clicks"));
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
    return "http://127.0.0.1:" + std::to_string(RefusingLoopbackPort());
}

std::string GetFromLoopback(int port, const std::string& path)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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
