#include "directory/DirectoryRequest.h"

#include <algorithm>
#include <cctype>

namespace
{
bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

const char* OrderName(EStationOrder order)
{
    switch (order)
    {
    case EStationOrder::ClickCount:
        return "clickcount";
    case EStationOrder::Name:
        return "name";
    case EStationOrder::Votes:
        break;
    }
    return "votes";
}
} // namespace

std::string EncodeForAddress(std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char ch : text)
    {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c))
        {
            encoded += ch;
            continue;
        }
        encoded += '%';
        encoded += kHex[c >> 4];
        encoded += kHex[c & 0xF];
    }
    return encoded;
}

std::string StationSearchPath(const StationSearch& search)
{
    std::string path = "/json/stations/search?";
    auto add = [&path](const char* key, std::string_view value)
    {
        if (path.back() != '?')
            path += '&';
        path += key;
        path += '=';
        path += EncodeForAddress(value);
    };
    if (!search.name.empty())
        add("name", search.name);
    if (!search.countryCode.empty())
        add("countrycode", search.countryCode);
    // A language or tag chosen from the directory's own list is meant exactly,
    // not every one whose name contains it.
    if (!search.language.empty())
    {
        add("language", search.language);
        add("languageExact", "true");
    }
    if (!search.tag.empty())
    {
        add("tag", search.tag);
        add("tagExact", "true");
    }
    add("order", OrderName(search.order));
    // Votes and plays count down from the most; names run from A.
    add("reverse", search.order == EStationOrder::Name ? "false" : "true");
    add("hidebroken", search.hideBroken ? "true" : "false");
    add("limit", std::to_string(std::clamp(search.limit, 1, 100000)));
    return path;
}

std::string FacetsPath(EDirectoryFacet kind)
{
    switch (kind)
    {
    case EDirectoryFacet::Countries:
        return "/json/countries";
    case EDirectoryFacet::Languages:
        return "/json/languages";
    case EDirectoryFacet::Tags:
        break;
    }
    return "/json/tags";
}

std::string ClickPath(std::string_view stationUuid)
{
    return "/json/url/" + EncodeForAddress(stationUuid);
}

bool IsStationUuid(std::string_view id)
{
    static constexpr std::string_view kShape = "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx";
    if (id.size() != kShape.size())
        return false;
    for (std::size_t i = 0; i < id.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(id[i]);
        if (kShape[i] == '-' ? c != '-' : !std::isxdigit(c))
            return false;
    }
    return true;
}

bool IsCountryCode(std::string_view code)
{
    return code.size() == 2 && std::isalpha(static_cast<unsigned char>(code[0])) &&
           std::isalpha(static_cast<unsigned char>(code[1]));
}
