#pragma once
// The per-user settings file: an INI file of groups and "name=value" lines.
//
// Reads never fail: a missing, unreadable or damaged file simply has no
// values. A write changes one line and leaves every other line as it was, and
// replaces the file atomically (written beside it, flushed to disk, renamed
// over it), so a crash leaves either the old file or the new one. A write that
// cannot be done reports false and changes nothing; nothing is printed.

#include <cstdint>
#include <optional>
#include <string>

namespace platform
{

// Reads a whole signed 32-bit decimal number (blanks around it allowed);
// nothing for anything else, including numbers that do not fit.
std::optional<std::int32_t> ParseInt32(const std::string& text);

class CSettingsFile
{
public:
    explicit CSettingsFile(std::string path);

    const std::string& GetPath() const { return m_path; }

    std::optional<std::string> ReadValue(const std::string& group, const std::string& name) const;
    bool WriteValue(const std::string& group, const std::string& name, const std::string& value);

    std::optional<std::int32_t> ReadInt(const std::string& group, const std::string& name) const;
    bool WriteInt(const std::string& group, const std::string& name, std::int32_t value);

private:
    std::string m_path;
};

} // namespace platform
