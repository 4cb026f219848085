#include "support/TempHome.h"

#include <wx/string.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <future>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
const char kUnset[] = "\x01";
const char* const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR",
                                  "XDG_CACHE_HOME"};

int RemoveEntry(const char* path, const struct stat*, int, FTW*)
{
    return ::remove(path);
}
} // namespace

CTempHome::CTempHome()
{
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary && *temporary ? temporary : "/tmp") + "/wavecrest-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary home");
    m_path = pattern;
    for (const char* name : kVariables)
    {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? old : kUnset);
    }
    ::mkdir(ConfigFolder().c_str(), 0700);
    ::mkdir(DataFolder().c_str(), 0700);
    ::mkdir(RuntimeFolder().c_str(), 0700);
    ::setenv("HOME", m_path.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", ConfigFolder().c_str(), 1);
    ::setenv("XDG_DATA_HOME", DataFolder().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", RuntimeFolder().c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (m_path + "/cache").c_str(), 1);
}

CTempHome::~CTempHome()
{
    for (const auto& [name, value] : m_saved)
    {
        if (value == kUnset)
            ::unsetenv(name.c_str());
        else
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    RemoveTree(m_path);
}

namespace
{
// The processes whose parent is this one (orphans of the child included).
std::vector<pid_t> ChildProcesses()
{
    std::vector<pid_t> children;
    DIR* processes = ::opendir("/proc");
    if (!processes)
        return children;
    const std::string parentLine = "PPid:\t" + std::to_string(::getpid()) + "\n";
    while (const dirent* entry = ::readdir(processes))
    {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid > 0 && ReadWholeFile("/proc/" + std::to_string(pid) + "/status").find(parentLine) !=
                           std::string::npos)
            children.push_back(pid);
    }
    ::closedir(processes);
    return children;
}

int ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
}
} // namespace

int RunWhileTheHomeLives(const std::function<int()>& run)
{
    // Processes the child leaves behind become ours, not init's, so that we
    // can wait for them.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const pid_t child = ::fork();
    if (child < 0)
        return run();
    if (child == 0)
    {
        // A test run that is ended (a time limit) ends the tests too.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::exit(run()); // the parent's objects (the home) are the parent's to end
    }
    int result = 1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
        continue;
    result = ExitCodeOf(status);
    // What it left behind gets a few seconds to end by itself (the web
    // engine's processes end once the program's connection is gone).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ChildProcesses().empty() && std::chrono::steady_clock::now() < deadline)
    {
        while (::waitpid(-1, nullptr, WNOHANG) > 0)
            continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (const pid_t left : ChildProcesses())
        ::kill(left, SIGKILL);
    while (::waitpid(-1, nullptr, 0) > 0 || errno == EINTR)
        continue;
    return result;
}

std::string CTempHome::SettingsFile() const
{
    return ConfigFolder() + "/tolvane.example/Wavecrest by Tolvane.conf";
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

bool FileExists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

void RemoveTree(const std::string& path)
{
    // Folders made read-only by a test must be opened up again first.
    ::nftw(
        path.c_str(),
        [](const char* entry, const struct stat* info, int, FTW*)
        {
            if (S_ISDIR(info->st_mode))
                ::chmod(entry, 0700);
            return 0;
        },
        16, FTW_PHYS);
    ::nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string StationListBytes(const std::string& utf8Text)
{
    std::string bytes;
    auto addUnit = [&bytes](unsigned unit)
    {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    };
    // A copy: the wide text of a temporary wxString goes with it.
    const std::wstring wide = wxString::FromUTF8(utf8Text).ToStdWstring();
    for (wchar_t c : wide)
    {
        const auto code = static_cast<unsigned>(c);
        if (code == '\n')
            addUnit('\r');
        if (code > 0xFFFF)
        {
            addUnit(0xD800 + ((code - 0x10000) >> 10));
            addUnit(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        else
            addUnit(code);
    }
    return bytes;
}

bool MakeFifo(const std::string& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool ReturnsWithoutWaitingOnFifo(const std::string& fifoPath, const std::function<void()>& call,
                                 int seconds)
{
    std::promise<void> returned;
    std::future<void> done = returned.get_future();
    std::thread caller(
        [&]
        {
            call();
            returned.set_value();
        });
    const bool inTime = done.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
    {
        const int fd = ::open(fifoPath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    }
    caller.join();
    return inTime;
}
