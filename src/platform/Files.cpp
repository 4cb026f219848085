#include "platform/Files.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{

namespace
{

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies the whole of one open file into another, from the first byte,
// whatever the position of the source.
bool CopyContent(int from, int to)
{
    char buffer[64 * 1024];
    off_t offset = 0;
    for (;;)
    {
        const ssize_t got = ::pread(from, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!WriteAll(to, buffer, static_cast<std::size_t>(got)))
            return false;
        offset += got;
    }
}

// Makes a rename in the folder durable; a folder that cannot be opened is
// not a failure of the write, which is already in place.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool ReplaceWith(const std::string& path, unsigned mode, const std::function<bool(int)>& write)
{
    if (path.empty() || path.back() == '/')
        return false;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Hidden, and not ending as the real file does, so nobody who lists the
    // folder (a session reading its autostart entries, say) takes it for one.
    std::string temporary =
        (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = write(fd) && ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

} // namespace

CTemporaryFile::~CTemporaryFile()
{
    Remove();
}

bool CTemporaryFile::Create(const std::string& folder, const std::string& prefix)
{
    Remove();
    std::string pattern = folder + "/" + prefix + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    m_fd = fd;
    m_path = pattern;
    return true;
}

bool CTemporaryFile::Write(const char* data, std::size_t size)
{
    return m_fd >= 0 && WriteAll(m_fd, data, size);
}

void CTemporaryFile::Remove()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_path.empty())
        ::unlink(m_path.c_str());
    m_fd = -1;
    m_path.clear();
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, unsigned mode)
{
    return ReplaceWith(path, mode,
                       [bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

bool ReplaceFileAtomically(const std::string& path, const CTemporaryFile& source, unsigned mode)
{
    if (source.m_fd < 0)
        return false;
    return ReplaceWith(path, mode, [&source](int fd) { return CopyContent(source.m_fd, fd); });
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool PathExists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool IsExecutable(const std::string& path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

bool CanCreateFilesIn(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::string path = folder;
    struct stat info;
    while (::stat(path.c_str(), &info) != 0)
    {
        const auto slash = path.find_last_of('/');
        if (errno != ENOENT || slash == std::string::npos)
            return false;
        path = slash == 0 ? std::string("/") : path.substr(0, slash);
    }
    return S_ISDIR(info.st_mode) &&
           ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace platform
