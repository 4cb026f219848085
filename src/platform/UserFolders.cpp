#include "platform/UserFolders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{

namespace
{
// Only absolute paths count; the base-directory rules say relative ones are invalid.
std::string AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (value && value[0] == '/')
        return value;
    return std::string();
}

std::string UnderHome(const char* relative)
{
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + relative;
}

bool IsPrivateFolderOfUser(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}
} // namespace

std::string HomeFolder()
{
    std::string home = AbsoluteEnv("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()))
        if (entry->pw_dir && entry->pw_dir[0] == '/')
            return entry->pw_dir;
    return std::string();
}

std::string ConfigFolder()
{
    const std::string folder = AbsoluteEnv("XDG_CONFIG_HOME");
    return folder.empty() ? UnderHome("/.config") : folder;
}

std::string DataHomeFolder()
{
    const std::string folder = AbsoluteEnv("XDG_DATA_HOME");
    return folder.empty() ? UnderHome("/.local/share") : folder;
}

std::string RuntimeFolder()
{
    const std::string runtime = AbsoluteEnv("XDG_RUNTIME_DIR");
    struct stat info;
    if (!runtime.empty() && ::stat(runtime.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return runtime;

    // /tmp is shared with every user: the folder must be ours and closed to
    // others, or someone else could pose as a running Wavecrest.
    const std::string fallback = "/tmp/wavecrest-" + std::to_string(::getuid());
    if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST)
        return std::string();
    return IsPrivateFolderOfUser(fallback) ? fallback : std::string();
}

std::string TemporaryFolder()
{
    const std::string folder = AbsoluteEnv("TMPDIR");
    return folder.empty() ? "/tmp" : folder;
}

bool MakeFolders(const std::string& path, mode_t mode)
{
    if (path.empty())
        return false;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), mode))
        return false;
    return ::mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

std::string ExecutablePath()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return std::string();
    return std::string(buffer, static_cast<size_t>(length));
}

} // namespace platform
