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

// The user's own folder, open to nobody else: mode 0700. A link counts only
// when followLink is set; the folder it leads to is what is checked.
bool IsPrivateFolderOfUser(const std::string& path, bool followLink)
{
    struct stat info;
    const int result = followLink ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    return result == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 0777) == 0700;
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
    // What lives here tells a later start where the running instance is: a
    // folder others can write to would let them pose as it.
    const std::string runtime = AbsoluteEnv("XDG_RUNTIME_DIR");
    if (!runtime.empty() && IsPrivateFolderOfUser(runtime, true))
        return runtime;

    // /tmp is shared with every user, who could have put anything in the
    // folder's place before us: no link, and the folder must be ours alone.
    const std::string fallback = "/tmp/wavecrest-" + std::to_string(::getuid());
    if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST)
        return std::string();
    return IsPrivateFolderOfUser(fallback, false) ? fallback : std::string();
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
