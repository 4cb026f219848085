#include "app/CommandLine.h"

#include <algorithm>
#include <cwctype>

namespace
{
void RemoveAll(std::wstring& text, const std::wstring& part)
{
    if (part.empty())
        return;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at))
        text.erase(at, part.size());
}

std::wstring TrimBlanks(const std::wstring& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}
} // namespace

std::wstring JoinArguments(const std::vector<std::wstring>& arguments)
{
    std::wstring line;
    for (const auto& argument : arguments)
    {
        if (!line.empty())
            line += L' ';
        line += argument;
    }
    return line;
}

std::int32_t ReadLeadingNumber(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
    {
        value = value * 10 + (text[i] - L'0');
        if (value > limit)
            value = limit; // keep clamping while the digits go on
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

StartRequest InterpretCommandLine(const std::wstring& rawLine, const std::wstring& modulePath)
{
    std::wstring working = rawLine;
    RemoveAll(working, modulePath);
    RemoveAll(working, L"\"");
    working = TrimBlanks(working);

    StartRequest request;
    if (rawLine.find(L":silent") != std::wstring::npos)
        return request;
    if (working.empty())
    {
        request.show = true;
        return request;
    }
    request.number = ReadLeadingNumber(working);
    return request;
}

namespace
{
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return Lower(text.substr(0, std::char_traits<char>::length(prefix))) == prefix;
}

// "%20" and the like back to their bytes.
std::string PercentDecoded(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])))
        {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
        else
            out += text[i];
    }
    return out;
}
} // namespace

namespace
{
bool HasControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](unsigned char c) { return c < 0x20 || c == 0x7f; });
}

// The location the argument names, before the checks every location passes.
std::string LocationOf(const std::string& argument, const std::string& workingFolder,
                       bool (*fileExists)(const std::string&))
{
    for (const char* scheme : {"http://", "https://"})
        if (StartsWith(argument, scheme))
            return Lower(argument.substr(0, argument.find(':'))) +
                   argument.substr(argument.find(':'));
    if (StartsWith(argument, "file://"))
    {
        // file:///path or file://localhost/path, as file managers give them.
        std::string path = argument.substr(7);
        if (StartsWith(path, "localhost/"))
            path = path.substr(9);
        return path.compare(0, 1, "/") == 0 ? PercentDecoded(path) : std::string();
    }
    // Another scheme is nothing this program fetches.
    const std::size_t schemeEnd = argument.find("://");
    if (schemeEnd != std::string::npos && schemeEnd > 0 &&
        std::all_of(argument.begin(), argument.begin() + static_cast<long>(schemeEnd),
                    [](unsigned char c)
                    { return std::isalnum(c) || c == '+' || c == '-' || c == '.'; }))
        return std::string();
    const std::string lower = Lower(argument);
    const auto endsWith = [&](const std::string& suffix)
    {
        return lower.size() > suffix.size() &&
               lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    const std::string path = argument[0] == '/' ? argument : workingFolder + "/" + argument;
    if (endsWith(".m3u") || endsWith(".m3u8") || endsWith(".pls") || endsWith(".xspf") ||
        (fileExists && path.size() <= kMaxPlaylistArgument && fileExists(path)))
        return path;
    return std::string();
}
} // namespace

std::string PlaylistArgument(const std::vector<std::string>& arguments,
                             const std::string& workingFolder,
                             bool (*fileExists)(const std::string&))
{
    if (arguments.size() != 1 || arguments[0].empty() || arguments[0].size() > kMaxPlaylistArgument)
        return std::string();
    const std::string location = LocationOf(arguments[0], workingFolder, fileExists);
    // It must fit in one line to a running instance; a file:// address is
    // checked once decoded, where "%0A" has become a line end.
    if (location.size() > kMaxPlaylistArgument || HasControlCharacter(location))
        return std::string();
    return location;
}

TerminalRequest ReadTerminalRequest(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return TerminalRequest::None;
    const std::string& first = arguments[0];
    if (first == "--help" || first == "-h")
        return TerminalRequest::Help;
    if (first == "--version" || first == "-V")
        return TerminalRequest::Version;
    if (first.compare(0, 2, "--") == 0)
        return TerminalRequest::UnknownOption;
    return TerminalRequest::None;
}

std::string UsageText()
{
    return "Usage: wavecrest [:silent | NUMBER | PLAYLIST]\n"
           "       wavecrest --help | --version\n"
           "\n"
           "Wavecrest plays internet radio and TV channels. Only one runs per user: a\n"
           "later start hands its arguments to the running one and ends.\n"
           "\n"
           "  (none)     show the window (that of the running Wavecrest, if one runs)\n"
           "  :silent    start hidden in the notification area, as the session's\n"
           "             autostart entry does\n"
           "  NUMBER     start hidden; a running Wavecrest shows its window for a\n"
           "             negative number and ignores any other\n"
           "  PLAYLIST   an M3U, M3U8, PLS or XSPF playlist: a path, a file:// address\n"
           "             or an http(s) address; its entries join My channels and the\n"
           "             first one plays\n"
           "  -h, --help      print this text and end\n"
           "  -V, --version   print the version and end\n"
           "\n"
           "Environment:\n"
           "  WAVECREST_STATION_LIST_URL  the station list's address (http, https or file)\n"
           "  WAVECREST_PROMO_URL         the maker's site on the \"More Softwares\" page\n"
           "  WAVECREST_STORE_URL         the hardware store on the \"Buy Hardware\" page\n"
           "  WAVECREST_DIRECTORY_URL     one server of the station directory\n"
           "  WAVECREST_DIRECTORY_NAMESERVER\n"
           "                              the name server (IPv4:port) asked for the\n"
           "                              station directory's servers\n"
           "  WAVECREST_PLAYER_OPTIONS    extra player options, name=value;name=value\n"
           "                              (options not allowed are ignored, with a line\n"
           "                              on standard error)\n"
           "  WAVECREST_VIDEO             \"software\" draws TV pictures without OpenGL\n"
           "  WAVECREST_MODAL_LOG         for tests: message boxes are written to this\n"
           "                              file and answered with their default button\n"
           "  WAVECREST_TEST_REMOTE_HOSTS for tests: host names that count as hosts on\n"
           "                              the internet, separated by commas\n";
}

std::string VersionText()
{
    return "Wavecrest " WAVECREST_VERSION "\n";
}

std::string HandOverMessage(const StartRequest& request)
{
    if (!request.playlist.empty())
        return "open " + request.playlist;
    if (request.number >= 0)
        return "number " + std::to_string(request.number);
    return "show";
}

HandOver ReadHandOverMessage(const std::string& message)
{
    HandOver handOver;
    if (message == "show")
    {
        handOver.kind = HandOver::Kind::Show;
    }
    else if (message.compare(0, 7, "number ") == 0)
    {
        handOver.kind = HandOver::Kind::Number;
        std::wstring digits;
        for (std::size_t i = 7; i < message.size(); ++i)
            digits += static_cast<wchar_t>(static_cast<unsigned char>(message[i]));
        handOver.number = ReadLeadingNumber(digits);
    }
    else if (message.compare(0, 5, "open ") == 0 && message.size() > 5)
    {
        handOver.kind = HandOver::Kind::Open;
        handOver.location = message.substr(5);
    }
    return handOver;
}
