#pragma once
// Reading the small files the program keeps for itself (settings, the
// autostart entry). Anything in their place that is not a regular file (a
// FIFO, a device, a socket, a folder) is refused without waiting on it, and so
// is a file larger than the caller expects.

#include <cstddef>
#include <string>

namespace platform
{

enum class FileReadResult
{
    Ok,
    Missing, // nothing at the path
    Refused  // not a regular file, too large, or unreadable
};

// Reads the whole file at path into content (emptied unless Ok).
FileReadResult ReadRegularFile(const std::string& path, std::size_t maxSize, std::string& content);

} // namespace platform
