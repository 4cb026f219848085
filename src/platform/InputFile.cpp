#include "platform/InputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{

namespace
{
ReadFunction& ReadCall()
{
    static ReadFunction read = nullptr;
    return read;
}
} // namespace

void SetFileReadFunctionForTests(ReadFunction read)
{
    ReadCall() = read;
}

CInputFile::~CInputFile()
{
    Close();
}

bool CInputFile::Open(const std::string& path, bool regularFileOnly, bool deleteAfter)
{
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info;
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (regularFileOnly && !S_ISREG(info.st_mode))
        error = EINVAL;
    if (error != 0)
    {
        ::close(fd);
        errno = error;
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_path = path;
    m_deleteAfter = deleteAfter;
    if (S_ISREG(info.st_mode))
        m_regularSize = static_cast<std::uint64_t>(info.st_size);
    return true;
}

ssize_t CInputFile::Read(void* buffer, std::size_t size)
{
    if (m_fd < 0)
    {
        errno = EBADF;
        return -1;
    }
    for (;;)
    {
        const ssize_t got =
            ReadCall() ? ReadCall()(m_fd, buffer, size) : ::read(m_fd, buffer, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

void CInputFile::Close()
{
    if (m_fd < 0)
        return;
    const int error = errno; // the reason of a failed read, for the caller
    struct stat read;
    const bool known = m_deleteAfter && ::fstat(m_fd, &read) == 0;
    ::close(m_fd);
    m_fd = -1;
    m_regularSize.reset();
    if (m_deleteAfter)
    {
        // Only the file that was read: if a new one has been put in its place
        // meanwhile, that one stays.
        struct stat now;
        const bool replaced = ::stat(m_path.c_str(), &now) == 0 && known &&
                              (now.st_dev != read.st_dev || now.st_ino != read.st_ino);
        if (!replaced)
            ::unlink(m_path.c_str());
    }
    errno = error;
}

} // namespace platform
