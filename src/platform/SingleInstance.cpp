#include "platform/SingleInstance.h"

#include "platform/UserFolders.h"

#include <glib-unix.h>

#include <algorithm>
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
const char kReply[] = "done\n";
// Accepting again after the process ran out of descriptors: soon, but not so
// often that waiting costs anything.
constexpr unsigned kAcceptRetryMs = 250;

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

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for the events on fd until the deadline; false when they did not come.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;)
    {
        pollfd waitFor{fd, events, 0};
        const int ready = ::poll(&waitFor, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && (waitFor.revents & events) != 0;
    }
}

enum class Connection
{
    Made,
    NotYet, // nobody listens yet, or the instance has not accepted the earlier ones
    Refused // another user's socket, or no socket can be made
};

// Never blocks: a stopped or swamped instance fills its queue of waiting
// connections, and a blocking connect would then wait for it forever.
Connection ConnectOnce(const std::string& path, std::chrono::steady_clock::time_point deadline,
                       int& fd)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return Connection::Refused;
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Connection::Refused;
    int result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (result != 0 && errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline))
    {
        int error = 0;
        socklen_t length = sizeof error;
        result =
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0 ? 0 : -1;
    }
    if (result == 0 && PeerIsSameUser(fd))
        return Connection::Made;
    ::close(fd);
    fd = -1;
    return result == 0 ? Connection::Refused : Connection::NotYet;
}

bool SendAll(int fd, const std::string& data, std::chrono::steady_clock::time_point deadline)
{
    size_t done = 0;
    while (done < data.size())
    {
        const ssize_t count = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (count > 0)
            done += static_cast<size_t>(count);
        else if (count < 0 && errno == EINTR)
            continue;
        else if (count < 0 && errno == EAGAIN && WaitFor(fd, POLLOUT, deadline))
            continue;
        else
            return false;
    }
    return true;
}

bool IsText(const std::string& text)
{
    for (const char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            return false;
    }
    return true;
}
} // namespace

InstanceMessage ReadInstanceMessage(const std::string& received, bool ended)
{
    InstanceMessage message;
    const auto newline = received.find('\n');
    if (newline == std::string::npos)
    {
        const bool canEnd = !ended && received.size() < kMaxInstanceMessage + 1;
        message.state =
            canEnd ? InstanceMessage::State::Incomplete : InstanceMessage::State::Invalid;
        return message;
    }
    if (newline > kMaxInstanceMessage || !IsText(received.substr(0, newline)))
    {
        message.state = InstanceMessage::State::Invalid;
        return message;
    }
    message.state = InstanceMessage::State::Complete;
    message.text = received.substr(0, newline);
    return message;
}

struct CSingleInstance::Client
{
    CSingleInstance* owner;
    int fd;
    unsigned watch = 0;
    unsigned timer = 0;
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
    while (!m_clients.empty())
        CloseClient(*m_clients.begin());
    WatchListener(false);
    if (m_acceptRetry)
        g_source_remove(m_acceptRetry);
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
    int fd = -1;
    for (;;)
    {
        const Connection connection = ConnectOnce(m_socketPath, deadline, fd);
        if (connection == Connection::Made)
            break;
        if (connection == Connection::Refused || MillisecondsLeft(deadline) == 0)
            return false;
        // The running instance may still be starting, or be busy for a moment.
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min(50, MillisecondsLeft(deadline))));
    }
    bool answered = SendAll(fd, message + "\n", deadline);
    std::string reply;
    while (answered && reply.find('\n') == std::string::npos && reply.size() < sizeof kReply)
    {
        char buffer[64];
        const ssize_t count = WaitFor(fd, POLLIN, deadline) ? ::read(fd, buffer, sizeof buffer) : 0;
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
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
    if (m_lockFd < 0 || m_listenFd >= 0 || !MakeAddress(m_socketPath, address))
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
    if (!bound || ::listen(m_listenFd, kMaxClients) != 0)
    {
        ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    WatchListener(true);
    return true;
}

void CSingleInstance::WatchListener(bool on)
{
    if (on && !m_listenWatch && m_listenFd >= 0)
        m_listenWatch = g_unix_fd_add(m_listenFd, G_IO_IN,
                                      reinterpret_cast<GUnixFDSourceFunc>(&OnAcceptReady), this);
    else if (!on && m_listenWatch)
    {
        g_source_remove(m_listenWatch);
        m_listenWatch = 0;
    }
}

int CSingleInstance::OnAcceptReady(int fd, unsigned /*condition*/, void* self)
{
    auto* owner = static_cast<CSingleInstance*>(self);
    while (owner->m_clients.size() < static_cast<size_t>(kMaxClients))
    {
        const int clientFd = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (clientFd < 0)
        {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN)
                return G_SOURCE_CONTINUE;
            // Out of descriptors or memory: the waiting connection stays queued
            // and keeps the socket readable, so watching it now would spin.
            owner->m_listenWatch = 0;
            owner->m_acceptRetry = g_timeout_add(kAcceptRetryMs, &OnAcceptRetry, owner);
            return G_SOURCE_REMOVE;
        }
        if (!PeerIsSameUser(clientFd))
        {
            ::close(clientFd);
            continue;
        }
        auto* client = new Client{owner, clientFd, 0, 0, std::string()};
        owner->m_clients.insert(client);
        client->watch = g_unix_fd_add(clientFd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP),
                                      reinterpret_cast<GUnixFDSourceFunc>(&OnClientReady), client);
        client->timer = g_timeout_add(kClientTimeLimitMs, &OnClientTimeUp, client);
    }
    // Served to the limit: the others wait in the queue until a client is done.
    owner->m_listenWatch = 0;
    return G_SOURCE_REMOVE;
}

int CSingleInstance::OnAcceptRetry(void* self)
{
    auto* owner = static_cast<CSingleInstance*>(self);
    owner->m_acceptRetry = 0;
    if (owner->m_clients.size() < static_cast<size_t>(kMaxClients))
        owner->WatchListener(true);
    return G_SOURCE_REMOVE;
}

int CSingleInstance::OnClientTimeUp(void* data)
{
    auto* client = static_cast<Client*>(data);
    client->timer = 0;
    client->owner->CloseClient(client);
    return G_SOURCE_REMOVE;
}

int CSingleInstance::OnClientReady(int fd, unsigned /*condition*/, void* data)
{
    auto* client = static_cast<Client*>(data);
    CSingleInstance* owner = client->owner;
    char buffer[128];
    // Never more than a message can be: the rest is not read at all.
    const size_t room = kMaxInstanceMessage + 1 - client->received.size();
    const ssize_t count = ::read(fd, buffer, std::min(sizeof buffer, room));
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return G_SOURCE_CONTINUE;
    if (count > 0)
        client->received.append(buffer, static_cast<size_t>(count));
    const InstanceMessage message = ReadInstanceMessage(client->received, count <= 0);
    if (message.state == InstanceMessage::State::Incomplete)
        return G_SOURCE_CONTINUE;
    client->watch = 0; // removed on return
    if (message.state == InstanceMessage::State::Complete)
    {
        // The handler may run a nested main loop; the time limit must not
        // close the client meanwhile.
        g_source_remove(client->timer);
        client->timer = 0;
        if (owner->m_handler)
            owner->m_handler(message.text);
        (void)::send(fd, kReply, sizeof kReply - 1, MSG_NOSIGNAL);
    }
    owner->CloseClient(client);
    return G_SOURCE_REMOVE;
}

void CSingleInstance::CloseClient(Client* client)
{
    if (client->watch)
        g_source_remove(client->watch);
    if (client->timer)
        g_source_remove(client->timer);
    ::close(client->fd);
    m_clients.erase(client);
    delete client;
    if (!m_acceptRetry && m_clients.size() < static_cast<size_t>(kMaxClients))
        WatchListener(true);
}

} // namespace platform
