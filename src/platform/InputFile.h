#pragma once
// A file read from start to end in blocks of the caller's choosing (the
// station list, which can be large), optionally deleted once read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace platform
{

class CInputFile
{
public:
    CInputFile() = default;
    ~CInputFile(); // closes the file (and deletes it when asked to)
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // Opens the file without waiting on it (a FIFO in its place has no
    // writer); false, with errno set, when it cannot be opened, is a folder,
    // or is not a regular file when one is required. With deleteAfter, the
    // file is deleted when it is closed, unless another file has been put in
    // its place meanwhile.
    bool Open(const std::string& path, bool regularFileOnly, bool deleteAfter);
    // The size of an open regular file; nothing for other kinds of file.
    std::optional<std::uint64_t> RegularFileSize() const { return m_regularSize; }
    // Reads up to size bytes: the count read, 0 at the end, -1 (errno set)
    // on failure.
    ssize_t Read(void* buffer, std::size_t size);
    // Closes (and deletes, as asked) the file now; errno is kept.
    void Close();

private:
    int m_fd = -1;
    std::string m_path;
    bool m_deleteAfter = false;
    std::optional<std::uint64_t> m_regularSize;
};

// Tests only: replaces read(2) in CInputFile::Read, to make reading fail
// part-way or count what is read (nullptr puts read(2) back).
using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t size);
void SetFileReadFunctionForTests(ReadFunction read);

} // namespace platform
