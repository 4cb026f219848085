#pragma once
// How a start's command line decides between showing the window, starting
// hidden, and handing a number to a running instance.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct StartRequest
{
    bool show = false;        // the main window is shown
    std::int32_t number = -1; // the number given, -1 when none
    std::string playlist;     // a playlist to open: an address or an absolute path
};

// The text after the program name, as one line: the arguments joined by blanks.
std::wstring JoinArguments(const std::vector<std::wstring>& arguments);

// Reads a number the way wcstol does with base 10 and a 32-bit long: leading
// white space, an optional sign, decimal digits; 0 when no number starts the
// text; out-of-range values clamp to the 32-bit limits.
std::int32_t ReadLeadingNumber(const std::wstring& text);

// Applies the start rules to the raw command line:
// - ":silent" anywhere (exact case) keeps the window hidden, no number;
// - else the line without the program's own path, without double quotes and
//   trimmed: empty shows the window; anything else is read as a number and
//   keeps the window hidden.
StartRequest InterpretCommandLine(const std::wstring& rawLine, const std::wstring& modulePath);

// The longest playlist address or path a start takes.
inline constexpr std::size_t kMaxPlaylistArgument = 4096;

// The playlist a start names: its one argument when that is an http or https
// address (its scheme in either case, given back in lower case), a file://
// address (given as its percent-decoded path), or a path to a file that
// exists or whose name ends in .m3u, .m3u8, .pls or .xspf (made absolute
// against the working folder). Empty when the arguments name none, or the
// location is longer than kMaxPlaylistArgument or holds a control character.
std::string PlaylistArgument(const std::vector<std::string>& arguments,
                             const std::string& workingFolder,
                             bool (*fileExists)(const std::string&));

// What a start from a terminal asks for instead of the window: the usage
// text ("--help" or "-h"), the version ("--version" or "-V"), or nothing.
// Any other first argument starting with "--" is an option the program does
// not know.
enum class TerminalRequest
{
    None,
    Help,
    Version,
    UnknownOption,
};
TerminalRequest ReadTerminalRequest(const std::vector<std::string>& arguments);

// The text --help prints: the arguments the program takes and the
// environment variables it reads.
std::string UsageText();
// The line --version prints.
std::string VersionText();

// The line a later start sends to the running instance: "open LOCATION" for a
// playlist, "show" when it should bring the window up, else "number N"
// (N >= 0) for the running instance.
std::string HandOverMessage(const StartRequest& request);

// What a running instance reads from such a line.
struct HandOver
{
    enum class Kind
    {
        Show,
        Number,
        Open,
        Unknown,
    };
    Kind kind = Kind::Unknown;
    std::int32_t number = -1;
    std::string location;
};
HandOver ReadHandOverMessage(const std::string& message);
