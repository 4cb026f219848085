#pragma once
// The desktop entry files of the freedesktop.org desktops (an application's
// launcher, an autostart entry): the escapes of their string values, the
// quoting and splitting of their Exec lines, and reading a key.

#include <optional>
#include <string>
#include <vector>

namespace platform
{

// The group that holds an entry's keys.
inline constexpr const char* kDesktopEntryGroup = "[Desktop Entry]";

// One argument quoted for an Exec line: in double quotes, with '"', '`', '$'
// and '\' escaped by a backslash and '%' doubled. Not yet escaped as a string.
std::string QuoteExecArgument(const std::string& argument);

// The escapes of a string value (backslash, newline, tab, carriage return, a
// leading blank); nothing for text with other control characters or
// invalid UTF-8, which an entry cannot hold.
std::optional<std::string> EscapeDesktopString(const std::string& text);
// Undoes those escapes; nothing for an unknown escape or a lone backslash.
std::optional<std::string> UnescapeDesktopString(const std::string& value);

// Splits an unescaped Exec command line into its arguments: undoes the
// quoting, turns "%%" into "%" and drops the field codes (the entry is
// started without files, and the other codes give nothing here). Nothing for
// a malformed line: an unclosed or partial quote, a bad escape in quotes, a
// reserved character outside quotes, an unknown field code, or no program.
std::optional<std::vector<std::string>> SplitExecCommand(const std::string& command);

// An Exec value as it stands in the file, to arguments: both steps above.
std::optional<std::vector<std::string>> ParseExecValue(const std::string& value);

// The raw value of a key in the [Desktop Entry] group of an entry's text.
std::optional<std::string> ReadDesktopEntryValue(const std::string& text, const std::string& key);

} // namespace platform
