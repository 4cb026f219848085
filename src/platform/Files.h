#pragma once
// The file operations the program needs beyond reading its small files:
// putting a new version of a file in place in one step, a temporary file that
// removes itself, and the few questions about paths it asks.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform
{

// A file of its own in a folder, open for writing, removed when the object
// goes (or on Remove). Nothing the program starts later inherits it.
class CTemporaryFile
{
public:
    CTemporaryFile() = default;
    ~CTemporaryFile();
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    // Creates an empty file named prefix and six characters in folder,
    // readable and writable by the user alone; a file made before is removed.
    bool Create(const std::string& folder, const std::string& prefix);
    // Appends the bytes; false when not all of them could be written.
    bool Write(const char* data, std::size_t size);
    // Closes and deletes the file, if there is one.
    void Remove();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

private:
    friend bool ReplaceFileAtomically(const std::string&, const CTemporaryFile&, unsigned);

    int m_fd = -1;
    std::string m_path;
};

// Puts a file with these bytes and permission bits (mode, umask not applied)
// in place of the one at path, so that a reader sees either the old file or
// the whole new one, also after a crash: the bytes go to a hidden file beside
// it, are flushed to disk and renamed over it, and the folder is flushed too.
// The folder must exist. On failure the old file is untouched and nothing is
// left beside it.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, unsigned mode);
// The same with the whole content of a temporary file (which stays as it is),
// copied block by block rather than held in memory.
bool ReplaceFileAtomically(const std::string& path, const CTemporaryFile& source, unsigned mode);

// Deletes the file at path (not a folder); false when there was none or it
// could not be deleted.
bool RemoveFile(const std::string& path);
// True when something exists at path.
bool PathExists(const std::string& path);
// True when path is a file this user may run.
bool IsExecutable(const std::string& path);
// True when files can be created in folder: it is a folder this user may
// write, or it does not exist yet and its nearest existing ancestor is one.
bool CanCreateFilesIn(const std::string& folder);

} // namespace platform
