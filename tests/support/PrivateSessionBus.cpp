#include "support/PrivateSessionBus.h"

#include "support/TempHome.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// Anybody may own any name and talk to anybody; nothing is started on demand.
std::string Configuration(const std::string& strSocket)
{
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:path=" +
           strSocket +
           "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}
} // namespace

CPrivateSessionBus::CPrivateSessionBus()
{
    std::string strPattern = "/tmp/wavecrest-bus-XXXXXX";
    if (!::mkdtemp(strPattern.data()))
        throw std::runtime_error("cannot create a folder for the bus");
    m_strFolder = strPattern;
    const std::string strConfig = m_strFolder + "/bus.conf";
    WriteWholeFile(strConfig, Configuration(m_strFolder + "/bus"));

    int aPipe[2];
    if (::pipe(aPipe) != 0)
        return;
    const std::string strConfigOption = "--config-file=" + strConfig;
    const char* argv[] = {"dbus-daemon", strConfigOption.c_str(), "--nofork", "--print-address",
                          nullptr};
    const pid_t nParent = ::getpid();
    m_nPid = ::fork();
    if (m_nPid == 0)
    {
        // The daemon ends with the test, however the test ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != nParent)
            ::_exit(1);
        ::dup2(aPipe[1], STDOUT_FILENO);
        // Its complaints about resource limits it may not raise are no news.
        const int nNull = ::open("/dev/null", O_WRONLY);
        if (nNull >= 0)
            ::dup2(nNull, STDERR_FILENO);
        ::close(aPipe[0]);
        ::close(aPipe[1]);
        ::execvp(argv[0], const_cast<char**>(argv));
        ::_exit(127);
    }
    ::close(aPipe[1]);
    if (m_nPid < 0)
    {
        ::close(aPipe[0]);
        return;
    }
    // The daemon prints its address once it listens.
    std::string strLine;
    for (;;)
    {
        pollfd wait = {aPipe[0], POLLIN, 0};
        if (::poll(&wait, 1, 20000) <= 0)
            break;
        char c = 0;
        if (::read(aPipe[0], &c, 1) != 1 || c == '\n')
            break;
        strLine += c;
    }
    ::close(aPipe[0]);
    if (strLine.empty())
    {
        Stop();
        return;
    }
    m_strAddress = strLine;
    if (const char* pszOld = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
    {
        m_bHadAddress = true;
        m_strOldAddress = pszOld;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", m_strAddress.c_str(), 1);
}

CPrivateSessionBus::~CPrivateSessionBus()
{
    Stop();
    if (!m_strAddress.empty())
    {
        if (m_bHadAddress)
            ::setenv("DBUS_SESSION_BUS_ADDRESS", m_strOldAddress.c_str(), 1);
        else
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    if (!m_strFolder.empty())
        RemoveTree(m_strFolder);
}

void CPrivateSessionBus::Stop()
{
    if (m_nPid <= 0)
        return;
    ::kill(m_nPid, SIGTERM);
    int nStatus = 0;
    ::waitpid(m_nPid, &nStatus, 0);
    m_nPid = -1;
}
