#include "platform/SingleInstance.h"

#include "platform/UserFolders.h"

#include <glib-unix.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform
{

namespace
{
// A message is one short line; anything longer is not from a Wavecrest.
constexpr size_t kMaxMessage = 256;
const char kReply[] = "done\n";

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool PeerIsSameUser(int fd)
{
    ucred credentials;
    socklen_t length = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == ::getuid();
}

int ConnectOnce(const std::string& path)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    {
        ::close(fd);
        return -1;
    }
    return fd;
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
} // namespace

struct CSingleInstance::Client
{
    CSingleInstance* owner;
    int fd;
    unsigned watch;
    std::string received;
};

CSingleInstance::CSingleInstance(std::string name)
{
    const std::string folder = RuntimeFolder();
    if (!folder.empty())
    {
        m_lockPath = folder + "/" + name + ".lock";
        m_socketPath = folder + "/" + name + ".socket";
    }
}

CSingleInstance::~CSingleInstance()
{
    if (m_listenWatch)
        g_source_remove(m_listenWatch);
    if (m_listenFd >= 0)
    {
        ::close(m_listenFd);
        ::unlink(m_socketPath.c_str());
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd); // releases the lock
}

CSingleInstance::Role CSingleInstance::Acquire()
{
    if (m_lockPath.empty())
        return Role::Primary;
    m_lockFd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0)
        return Role::Primary;
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0)
        return Role::Primary;
    const bool heldByOther = errno == EWOULDBLOCK;
    ::close(m_lockFd);
    m_lockFd = -1;
    return heldByOther ? Role::Secondary : Role::Primary;
}

bool CSingleInstance::Send(const std::string& message, int timeoutMilliseconds)
{
    if (m_socketPath.empty())
        return false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    // The running instance may still be starting and not listen yet.
    int fd = -1;
    while ((fd = ConnectOnce(m_socketPath)) < 0)
    {
        if (MillisecondsLeft(deadline) == 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::string line = message + "\n";
    bool answered =
        ::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size());
    std::string reply;
    while (answered && reply.find('\n') == std::string::npos)
    {
        pollfd waitFor{fd, POLLIN, 0};
        const int ready = ::poll(&waitFor, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        char buffer[64];
        const ssize_t count = ready > 0 ? ::read(fd, buffer, sizeof buffer) : 0;
        if (count <= 0)
            answered = false;
        else
            reply.append(buffer, static_cast<size_t>(count));
    }
    ::close(fd);
    return answered && reply == kReply;
}

bool CSingleInstance::Listen(std::function<void(const std::string&)> handler)
{
    sockaddr_un address;
    if (m_lockFd < 0 || !MakeAddress(m_socketPath, address))
        return false;
    m_handler = std::move(handler);
    // We hold the lock, so a socket file left here belongs to a dead instance.
    ::unlink(m_socketPath.c_str());
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0)
        return false;
    const mode_t oldMask = ::umask(077);
    const bool bound =
        ::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(m_listenFd, 8) != 0)
    {
        ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_listenWatch = g_unix_fd_add(m_listenFd, G_IO_IN,
                                  reinterpret_cast<GUnixFDSourceFunc>(&OnAcceptReady), this);
    return true;
}

int CSingleInstance::OnAcceptReady(int fd, unsigned /*condition*/, void* self)
{
    auto* owner = static_cast<CSingleInstance*>(self);
    for (;;)
    {
        const int clientFd = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (clientFd < 0)
            break;
        if (!PeerIsSameUser(clientFd))
        {
            ::close(clientFd);
            continue;
        }
        auto* client = new Client{owner, clientFd, 0, std::string()};
        client->watch = g_unix_fd_add(clientFd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP),
                                      reinterpret_cast<GUnixFDSourceFunc>(&OnClientReady), client);
    }
    return G_SOURCE_CONTINUE;
}

int CSingleInstance::OnClientReady(int fd, unsigned /*condition*/, void* data)
{
    auto* client = static_cast<Client*>(data);
    char buffer[128];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return G_SOURCE_CONTINUE;
    if (count > 0)
        client->received.append(buffer, static_cast<size_t>(count));
    const auto newline = client->received.find('\n');
    if (newline == std::string::npos)
    {
        if (count > 0 && client->received.size() <= kMaxMessage)
            return G_SOURCE_CONTINUE;
        client->owner->CloseClient(client); // closed early or too long
        return G_SOURCE_REMOVE;
    }
    const std::string message = client->received.substr(0, newline);
    CSingleInstance* owner = client->owner;
    if (owner->m_handler)
        owner->m_handler(message);
    (void)::send(fd, kReply, sizeof kReply - 1, MSG_NOSIGNAL);
    owner->CloseClient(client);
    return G_SOURCE_REMOVE;
}

void CSingleInstance::CloseClient(Client* client)
{
    ::close(client->fd);
    delete client;
}

} // namespace platform
