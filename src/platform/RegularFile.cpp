#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{

namespace
{
FileReadResult ReadOpenFile(int fd, std::size_t maxSize, std::string& content)
{
    // Checked on what was opened, not on the name, which may have changed since.
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<unsigned long long>(info.st_size) > maxSize)
        return FileReadResult::Refused;
    char buffer[8192];
    for (;;)
    {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return FileReadResult::Refused;
        if (count == 0)
            return FileReadResult::Ok;
        // The file may grow while it is read.
        if (content.size() + static_cast<std::size_t>(count) > maxSize)
            return FileReadResult::Refused;
        content.append(buffer, static_cast<std::size_t>(count));
    }
}
} // namespace

FileReadResult ReadRegularFile(const std::string& path, std::size_t maxSize, std::string& content)
{
    content.clear();
    // Opening a FIFO for reading waits for a writer unless O_NONBLOCK is given;
    // O_NOCTTY keeps a terminal in its place from becoming ours.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? FileReadResult::Missing : FileReadResult::Refused;
    const FileReadResult result = ReadOpenFile(fd, maxSize, content);
    ::close(fd);
    if (result != FileReadResult::Ok)
        content.clear();
    return result;
}

} // namespace platform
