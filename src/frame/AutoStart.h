#pragma once
// Starting Wavecrest with the desktop session. The program asks the session
// to start it, hidden, through the user's XDG autostart entry
// $XDG_CONFIG_HOME/autostart/wavecrest.desktop, whose Exec line names the
// running executable followed by ":silent".
//
// The main frame keeps the state of its "Auto Startup with Windows" check box
// in one integer; the values below are the ones it holds.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

inline constexpr int kAutoStartNotKnown = -1;    // not determined yet
inline constexpr int kAutoStartOff = 0;          // no usable entry
inline constexpr int kAutoStartOn = 1;           // an entry starts an existing program
inline constexpr int kAutoStartUnavailable = -2; // the autostart folder cannot be written

// An entry is a few hundred bytes; a larger file is not read, nor anything
// that is not a regular file.
inline constexpr size_t kMaxAutoStartEntrySize = 64 * 1024;

// The argument a start through the entry passes.
inline constexpr const char* kSilentArgument = ":silent";

// $XDG_CONFIG_HOME/autostart, and the entry's file in it; empty without a home.
std::string AutoStartFolder();
std::string AutoStartEntryPath();

// Sets path to the full path of the running executable (empty if unknown).
void GetModulePath(std::string& path);

// The state of the entry: kAutoStartOn when the entry exists, is not switched
// off and its program exists; kAutoStartUnavailable when the autostart
// folder cannot be created or written; kAutoStartOff otherwise.
int QueryAutoStart();

// Writes the entry (enable) or removes it, then returns QueryAutoStart().
// The entry starts program, or the running executable when program is empty.
// Nothing is written when the folder cannot be used or the path cannot be
// expressed in an entry; failures are not reported, the state tells.
int SetAutoStart(bool enable, const std::string& program = std::string());

// --- The desktop entry format, for the functions above and for tests ---

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

// The Exec value that starts program with ":silent", as it stands in the file.
std::optional<std::string> AutoStartExecValue(const std::string& program);

// The whole entry file that starts program with ":silent".
std::optional<std::string> AutoStartEntryText(const std::string& program);

// The raw value of a key in the [Desktop Entry] group of an entry's text.
std::optional<std::string> ReadDesktopEntryValue(const std::string& text, const std::string& key);
