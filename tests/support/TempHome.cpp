#include "support/TempHome.h"

#include <wx/string.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <future>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
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
    std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") +
                          "/wavecrest-test-XXXXXX";
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
