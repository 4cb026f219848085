#include "player/StreamServerProcess.h"

#include "support/TempHome.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

// Reads the first line the server prints, waiting at most a while for it.
std::string ReadFirstLine(int nFd, int nTimeoutMilliseconds)
{
    std::string strLine;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMilliseconds);
    while (std::chrono::steady_clock::now() < deadline)
    {
        pollfd wait = {nFd, POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0)
            continue;
        char c = 0;
        if (read(nFd, &c, 1) != 1)
            break;
        if (c == '\n')
            return strLine;
        strLine += c;
    }
    return std::string();
}

bool WaitForExit(pid_t nPid, int nTimeoutMilliseconds)
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMilliseconds);
    for (;;)
    {
        int nStatus = 0;
        const pid_t nDone = waitpid(nPid, &nStatus, WNOHANG);
        if (nDone == nPid || nDone < 0)
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

CStreamServerProcess::CStreamServerProcess() : m_nPid(-1)
{
    char szFolder[] = "/tmp/wc-streams-XXXXXX";
    if (!mkdtemp(szFolder))
        return;
    m_strFolder = szFolder;
    m_strLog = m_strFolder + "/requests.log";
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const pid_t nParent = getpid();
    m_nPid = fork();
    if (m_nPid == 0)
    {
        // The server must not outlive a test that crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != nParent)
            _exit(1);
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(WAVECREST_PYTHON, WAVECREST_PYTHON, WAVECREST_STREAM_SERVER, "--log",
              m_strLog.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (m_nPid > 0)
        m_strAddress = ReadFirstLine(fds[0], 30000);
    close(fds[0]);
}

CStreamServerProcess::~CStreamServerProcess()
{
    Stop();
    if (!m_strFolder.empty())
        RemoveTree(m_strFolder);
}

void CStreamServerProcess::Stop()
{
    if (m_nPid <= 0)
        return;
    kill(m_nPid, SIGTERM);
    if (!WaitForExit(m_nPid, 15000))
    {
        kill(m_nPid, SIGKILL);
        WaitForExit(m_nPid, 15000);
    }
    m_nPid = -1;
}

std::vector<std::string> CStreamServerProcess::RequestedPaths() const
{
    std::vector<std::string> paths;
    std::istringstream lines(FileExists(m_strLog) ? ReadWholeFile(m_strLog) : std::string());
    for (std::string strLine; std::getline(lines, strLine);)
    {
        if (!strLine.empty())
            paths.push_back(strLine);
    }
    return paths;
}

int CStreamServerProcess::RequestCount(const std::string& strPath) const
{
    int nCount = 0;
    for (const auto& strRequested : RequestedPaths())
        nCount += strRequested == strPath ? 1 : 0;
    return nCount;
}

int UnusedLoopbackPort()
{
    const int nSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof(address);
    int nPort = 0;
    if (bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(nSocket, reinterpret_cast<sockaddr*>(&address), &nLength) == 0)
        nPort = ntohs(address.sin_port);
    close(nSocket); // bound but never listening: nothing answers there
    return nPort;
}
