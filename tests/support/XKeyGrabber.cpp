#include "support/XKeyGrabber.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{
constexpr int kAnswerTimeoutMilliseconds = 30000;
constexpr auto kExitTimeout = std::chrono::seconds(10);

std::vector<char*> ArgumentVector(std::vector<std::string>& arguments)
{
    std::vector<char*> vector;
    for (std::string& argument : arguments)
        vector.push_back(argument.data());
    vector.push_back(nullptr);
    return vector;
}

// Reads one line, giving up after a generous time so that a broken client cannot hang a test.
std::string ReadLine(int fd)
{
    std::string line;
    for (;;)
    {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, kAnswerTimeoutMilliseconds) <= 0)
            return line.empty() ? "no answer" : line;
        char c = 0;
        if (::read(fd, &c, 1) != 1 || c == '\n')
            return line;
        line += c;
    }
}

// Waits for the process to end and gives its exit code; a process that does
// not end by itself is killed (-1).
int Reap(pid_t pid)
{
    const auto deadline = std::chrono::steady_clock::now() + kExitTimeout;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

CXKeyGrabber::CXKeyGrabber(const std::vector<std::string>& arguments)
{
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0)
        return;
    if (::pipe2(output, O_CLOEXEC) != 0)
    {
        ::close(input[0]);
        ::close(input[1]);
        return;
    }
    std::vector<std::string> all = {X_KEY_GRABBER_PATH};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = ArgumentVector(all);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    if (::posix_spawn(&m_nPid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_nPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    m_nInput = input[1];
    m_strAnswer = m_nPid > 0 ? ReadLine(output[0]) : "not started";
    ::close(output[0]);
}

CXKeyGrabber::~CXKeyGrabber()
{
    Stop();
}

std::vector<std::string> CXKeyGrabber::GrabArguments(const std::string& keySym,
                                                     const std::vector<std::string>& modifiers)
{
    std::vector<std::string> arguments = {"grab", keySym};
    arguments.insert(arguments.end(), modifiers.begin(), modifiers.end());
    return arguments;
}

void CXKeyGrabber::Stop()
{
    if (m_nInput >= 0)
    {
        ::close(m_nInput);
        m_nInput = -1;
    }
    if (m_nPid > 0)
    {
        Reap(m_nPid);
        m_nPid = -1;
    }
}

bool AnotherClientCanGrab(const std::string& keySym, const std::vector<std::string>& modifiers)
{
    CXKeyGrabber grabber(CXKeyGrabber::GrabArguments(keySym, modifiers));
    return grabber.Grabbed();
}

bool PressKeys(const std::string& keys)
{
    std::vector<std::string> arguments = {"xdotool", "key", keys};
    std::vector<char*> argv = ArgumentVector(arguments);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    return Reap(pid) == 0;
}
