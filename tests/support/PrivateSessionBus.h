#pragma once
// A session bus of the test's own: starts dbus-daemon on a socket in a fresh
// temporary folder and points DBUS_SESSION_BUS_ADDRESS at it for the
// object's lifetime, so no test meets a bus (or a program on it) that
// another test or the person uses. The bus starts no services of its own.

#include <string>
#include <sys/types.h>

class CPrivateSessionBus
{
public:
    CPrivateSessionBus();
    // Ends the daemon and gives DBUS_SESSION_BUS_ADDRESS its old value back.
    ~CPrivateSessionBus();
    CPrivateSessionBus(const CPrivateSessionBus&) = delete;
    CPrivateSessionBus& operator=(const CPrivateSessionBus&) = delete;

    bool IsRunning() const { return m_nPid > 0 && !m_strAddress.empty(); }
    const std::string& Address() const { return m_strAddress; }
    // Ends the daemon now (everybody on it loses the bus).
    void Stop();

private:
    pid_t m_nPid = -1;
    std::string m_strFolder;
    std::string m_strAddress;
    bool m_bHadAddress = false;
    std::string m_strOldAddress;
};
