#include "platform/SettingsFile.h"

#include "platform/Files.h"
#include "platform/RegularFile.h"
#include "platform/UserFolders.h"

#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

namespace platform
{

namespace
{
// A settings file holds a few dozen lines; anything far larger is not ours.
constexpr size_t kMaxFileSize = 1 << 20;

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

enum class ReadResult
{
    Ok,
    Missing,
    Unreadable
};

ReadResult ReadLines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    std::string content;
    switch (ReadRegularFile(path, kMaxFileSize, content))
    {
    case FileReadResult::Missing:
        return ReadResult::Missing;
    case FileReadResult::Refused:
        return ReadResult::Unreadable;
    case FileReadResult::Ok:
        break;
    }
    size_t start = 0;
    while (start < content.size())
    {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        // Line ends are written as LF alone: all the CRs before the LF go, or
        // the next read after a write would see a line that has changed.
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return ReadResult::Ok;
}

bool IsGroupLine(const std::string& trimmed, std::string* name = nullptr)
{
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']')
        return false;
    if (name)
        *name = Trim(trimmed.substr(1, trimmed.size() - 2));
    return true;
}

bool SplitEntry(const std::string& line, std::string& name, std::string& value)
{
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    name = Trim(line.substr(0, equals));
    value = Trim(line.substr(equals + 1));
    return !name.empty();
}

// Where a value lives in the file's lines: the line of the entry (if any) and
// the line after which a new entry of the group belongs (if the group exists).
struct Location
{
    std::optional<size_t> entry;
    std::optional<size_t> groupEnd;
};

Location Find(const std::vector<std::string>& lines, const std::string& group,
              const std::string& name)
{
    Location location;
    bool inGroup = false;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const std::string trimmed = Trim(lines[i]);
        std::string groupName;
        if (IsGroupLine(trimmed, &groupName))
        {
            inGroup = groupName == group;
            if (inGroup)
                location.groupEnd = i;
            continue;
        }
        if (!inGroup)
            continue;
        std::string entryName, value;
        if (SplitEntry(trimmed, entryName, value))
        {
            location.groupEnd = i;
            if (entryName == name)
                location.entry = i; // the last one wins, as when reading
        }
    }
    return location;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The settings may hold what the user would not show others: the user's alone.
constexpr unsigned kSettingsFileMode = 0600;

bool ReplaceAtomically(const std::string& path, const std::string& content)
{
    return MakeFolders(FolderOf(path), 0700) &&
           ReplaceFileAtomically(path, content, kSettingsFileMode);
}
} // namespace

std::optional<std::int32_t> ParseInt32(const std::string& text)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty())
        return std::nullopt;
    size_t i = 0;
    bool negative = false;
    if (trimmed[i] == '+' || trimmed[i] == '-')
        negative = trimmed[i++] == '-';
    if (i == trimmed.size())
        return std::nullopt;
    long long value = 0;
    for (; i < trimmed.size(); ++i)
    {
        const char c = trimmed[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

CSettingsFile::CSettingsFile(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> CSettingsFile::ReadValue(const std::string& group,
                                                    const std::string& name) const
{
    std::vector<std::string> lines;
    if (ReadLines(m_path, lines) != ReadResult::Ok)
        return std::nullopt;
    const Location location = Find(lines, group, name);
    if (!location.entry)
        return std::nullopt;
    std::string entryName, value;
    SplitEntry(Trim(lines[*location.entry]), entryName, value);
    return value;
}

bool CSettingsFile::WriteValue(const std::string& group, const std::string& name,
                               const std::string& value)
{
    if (m_path.empty() || m_path.back() == '/')
        return false;
    std::vector<std::string> lines;
    // An existing file that cannot be read is left alone: rewriting it would
    // throw away whatever it holds.
    if (ReadLines(m_path, lines) == ReadResult::Unreadable)
        return false;
    const std::string entry = name + "=" + value;
    const Location location = Find(lines, group, name);
    // A value written again as it stands (the program does so at every
    // start) leaves the file alone: no new file, no wait for the disk.
    if (location.entry && lines[*location.entry] == entry)
        return true;
    if (location.entry)
        lines[*location.entry] = entry;
    else if (location.groupEnd)
        lines.insert(lines.begin() + static_cast<long>(*location.groupEnd) + 1, entry);
    else
    {
        while (!lines.empty() && Trim(lines.back()).empty())
            lines.pop_back();
        if (!lines.empty())
            lines.emplace_back();
        lines.push_back("[" + group + "]");
        lines.push_back(entry);
    }
    std::string content;
    for (const auto& line : lines)
        content += line + "\n";
    return ReplaceAtomically(m_path, content);
}

std::optional<std::int32_t> CSettingsFile::ReadInt(const std::string& group,
                                                   const std::string& name) const
{
    const auto value = ReadValue(group, name);
    return value ? ParseInt32(*value) : std::nullopt;
}

bool CSettingsFile::WriteInt(const std::string& group, const std::string& name, std::int32_t value)
{
    return WriteValue(group, name, std::to_string(value));
}

} // namespace platform
