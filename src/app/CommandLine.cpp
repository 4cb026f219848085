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

std::string PlaylistArgument(const std::vector<std::string>& arguments,
                             const std::string& workingFolder,
                             bool (*fileExists)(const std::string&))
{
    if (arguments.size() != 1 || arguments[0].empty())
        return std::string();
    const std::string& argument = arguments[0];
    // It must fit in one line to a running instance.
    if (argument.size() > kMaxPlaylistArgument ||
        std::any_of(argument.begin(), argument.end(),
                    [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return std::string();
    if (StartsWith(argument, "http://") || StartsWith(argument, "https://"))
        return argument;
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
    if (path.size() > kMaxPlaylistArgument)
        return std::string();
    if (endsWith(".m3u") || endsWith(".m3u8") || endsWith(".pls") || endsWith(".xspf") ||
        (fileExists && fileExists(path)))
        return path;
    return std::string();
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
