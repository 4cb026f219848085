#pragma once
// One running program per user: a lock file decides which process is the
// running instance, and a Unix-domain socket beside it carries a later
// start's message ("show", a number, or a playlist to open) to it. The lock belongs to the
// process, so a killed instance leaves nothing that stops the next start.

#include <cstddef>
#include <functional>
#include <set>
#include <string>

namespace platform
{

// A message between two starts is one line of printable text, at most this
// long, ended by LF: room for a word and the longest path.
inline constexpr std::size_t kMaxInstanceMessage = 4200;

struct InstanceMessage
{
    enum class State
    {
        Incomplete, // more may come
        Complete,   // text holds the message
        Invalid     // too long, not text, or ended before the line did
    };
    State state = State::Incomplete;
    std::string text;
};

// What the bytes a later start has sent so far amount to; `ended` tells that
// the sender has closed its side. Anything after the line is ignored.
InstanceMessage ReadInstanceMessage(const std::string& received, bool ended);

class CSingleInstance
{
public:
    enum class Role
    {
        Primary,  // no other instance runs: this process carries on
        Secondary // another instance runs: hand over to it and end
    };

    // `name` names the lock and socket files in the runtime folder.
    explicit CSingleInstance(std::string name);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Takes the lock when it is free. Without a usable runtime folder the
    // process runs as the primary one (the rule cannot be kept, but the
    // program still starts).
    Role Acquire();

    // Secondary: delivers one line to the running instance and waits until it
    // has been handled there. False when the instance did not answer in time,
    // whatever it does meanwhile (it may be stopped or swamped), or when the
    // socket is not served by a process of this user.
    bool Send(const std::string& message, int timeoutMilliseconds = 3000);

    // Primary: from now on, each line a later start sends is passed to the
    // handler on the GUI thread (from the GLib main loop), and the sender is
    // answered once the handler returns. Only processes of the same user are
    // heard; a sender has kClientTimeLimitMs to deliver its line, and at most
    // kMaxClients are served at once (the others wait to be accepted).
    bool Listen(std::function<void(const std::string&)> handler);

    static constexpr unsigned kClientTimeLimitMs = 2000;
    static constexpr int kMaxClients = 8;

    const std::string& GetSocketPath() const { return m_socketPath; }

private:
    struct Client;
    static int OnAcceptReady(int fd, unsigned condition, void* self);
    static int OnAcceptRetry(void* self);
    static int OnClientReady(int fd, unsigned condition, void* client);
    static int OnClientTimeUp(void* client);
    void WatchListener(bool on);
    void CloseClient(Client* client);

    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
    unsigned m_listenWatch = 0;
    unsigned m_acceptRetry = 0; // accepting paused while descriptors are short
    std::set<Client*> m_clients;
    std::function<void(const std::string&)> m_handler;
};

} // namespace platform
