#pragma once
// One running program per user: a lock file decides which process is the
// running instance, and a Unix-domain socket beside it carries a later
// start's message ("show" or a number) to it. The lock belongs to the
// process, so a killed instance leaves nothing that stops the next start.

#include <functional>
#include <string>

namespace platform
{

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
    // has been handled there. False when the instance did not answer in time.
    bool Send(const std::string& message, int timeoutMilliseconds = 5000);

    // Primary: from now on, each line a later start sends is passed to the
    // handler on the GUI thread (from the GLib main loop), and the sender is
    // answered once the handler returns.
    bool Listen(std::function<void(const std::string&)> handler);

    const std::string& GetSocketPath() const { return m_socketPath; }

private:
    struct Client;
    static int OnAcceptReady(int fd, unsigned condition, void* self);
    static int OnClientReady(int fd, unsigned condition, void* client);
    void CloseClient(Client* client);

    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
    unsigned m_listenWatch = 0;
    std::function<void(const std::string&)> m_handler;
};

} // namespace platform
