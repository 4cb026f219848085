#include "app/CommandLine.h"

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

std::string HandOverMessage(const StartRequest& request)
{
    if (request.number >= 0)
        return "number " + std::to_string(request.number);
    return "show";
}
