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

// The autostart entry, for the functions above and for tests (the format
// itself is in platform/DesktopEntry.h).

// The Exec value that starts program with ":silent", as it stands in the file.
std::optional<std::string> AutoStartExecValue(const std::string& program);

// The whole entry file that starts program with ":silent".
std::optional<std::string> AutoStartEntryText(const std::string& program);
