#include "directory/DirectoryAnswers.h"

#include "directory/DirectoryRequest.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace
{
using json = nlohmann::json;

// How deep the brackets of the text nest (outside strings), counted only
// as far as `most` + 1.
std::size_t NestingDepth(std::string_view text, std::size_t most)
{
    std::size_t depth = 0;
    std::size_t deepest = 0;
    bool bInString = false;
    for (std::size_t i = 0; i < text.size() && deepest <= most; ++i)
    {
        const char c = text[i];
        if (bInString)
        {
            if (c == '\\')
                ++i;
            else if (c == '"')
                bInString = false;
        }
        else if (c == '"')
            bInString = true;
        else if (c == '[' || c == '{')
            deepest = std::max(deepest, ++depth);
        else if ((c == ']' || c == '}') && depth > 0)
            --depth;
    }
    return deepest;
}

// No exceptions: a text that is not JSON gives a discarded value, and so
// does one nested too deeply.
json Parse(std::string_view text)
{
    if (NestingDepth(text, kMaxAnswerDepth) > kMaxAnswerDepth)
        return json(json::value_t::discarded);
    return json::parse(text.begin(), text.end(), nullptr, false);
}

// Why a text gave a discarded value.
std::string UnreadableText(std::string_view text)
{
    return NestingDepth(text, kMaxAnswerDepth) > kMaxAnswerDepth
               ? "The directory's answer could not be read (it is nested too deeply)."
               : "The directory's answer could not be read (it is not valid JSON).";
}

// A text field; anything but text counts as missing.
std::string Text(const json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string())
        return std::string();
    return found->get_ref<const std::string&>();
}

// A whole number; also given as text ("128") or as a fraction. Anything else,
// or out of range, is 0.
std::int64_t Number(const json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end())
        return 0;
    if (found->is_number_unsigned())
    {
        const auto value = found->get<std::uint64_t>();
        return value > std::uint64_t(std::numeric_limits<std::int64_t>::max())
                   ? std::numeric_limits<std::int64_t>::max()
                   : std::int64_t(value);
    }
    if (found->is_number_integer())
        return found->get<std::int64_t>();
    if (found->is_number_float())
    {
        const double value = found->get<double>();
        if (!std::isfinite(value) || std::fabs(value) > 9e18)
            return 0;
        return std::int64_t(value);
    }
    if (found->is_string())
    {
        const std::string& text = found->get_ref<const std::string&>();
        std::int64_t value = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        return result.ec == std::errc() ? value : 0;
    }
    return 0;
}

// The directory writes its flags as 1 and 0; true and false count as well.
// A missing flag counts as set.
bool Flag(const json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end())
        return true;
    if (found->is_boolean())
        return found->get<bool>();
    if (found->is_number())
        return found->get<double>() != 0;
    if (found->is_string())
        return found->get_ref<const std::string&>() != "0" &&
               found->get_ref<const std::string&>() != "false";
    return true;
}

// Control characters would break the list's rows; they become spaces.
std::string Clean(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

const char* NotAList(EDirectoryFacet kind)
{
    switch (kind)
    {
    case EDirectoryFacet::Countries:
        return "The directory's answer is not a list of countries.";
    case EDirectoryFacet::Languages:
        return "The directory's answer is not a list of languages.";
    case EDirectoryFacet::Tags:
        break;
    }
    return "The directory's answer is not a list of tags.";
}
} // namespace

StationsAnswer ReadStationsAnswer(std::string_view text)
{
    StationsAnswer answer;
    const json document = Parse(text);
    if (document.is_discarded())
    {
        answer.error = UnreadableText(text);
        return answer;
    }
    if (!document.is_array())
    {
        answer.error = "The directory's answer is not a list of stations.";
        return answer;
    }
    answer.stations.reserve(document.size());
    for (const json& entry : document)
    {
        if (!entry.is_object())
        {
            ++answer.leftOut;
            continue;
        }
        DirectoryStation station;
        // Only an id of the directory's shape is ever sent back to it.
        station.uuid = Text(entry, "stationuuid");
        if (!IsStationUuid(station.uuid))
            station.uuid.clear();
        station.name = Clean(Text(entry, "name"));
        station.url = Text(entry, "url_resolved");
        if (station.url.empty())
            station.url = Text(entry, "url");
        // Without an address nothing can be played, and without a name nothing shown.
        if (station.url.empty() || station.name.empty())
        {
            ++answer.leftOut;
            continue;
        }
        station.countryCode = Clean(Text(entry, "countrycode"));
        station.country = Clean(Text(entry, "country"));
        station.language = Clean(Text(entry, "language"));
        station.tags = Clean(Text(entry, "tags"));
        station.codec = Clean(Text(entry, "codec"));
        station.bitrate = Number(entry, "bitrate");
        station.votes = Number(entry, "votes");
        station.clickCount = Number(entry, "clickcount");
        station.lastCheckOk = Flag(entry, "lastcheckok");
        answer.stations.push_back(std::move(station));
    }
    if (answer.stations.empty() && answer.leftOut > 0)
        answer.error = "The directory's answer holds no station that can be played.";
    return answer;
}

FacetsAnswer ReadFacetsAnswer(std::string_view text, EDirectoryFacet kind)
{
    FacetsAnswer answer;
    const json document = Parse(text);
    if (document.is_discarded())
    {
        answer.error = UnreadableText(text);
        return answer;
    }
    if (!document.is_array())
    {
        answer.error = NotAList(kind);
        return answer;
    }
    for (const json& entry : document)
    {
        if (!entry.is_object())
            continue;
        DirectoryFacet facet;
        facet.name = Clean(Text(entry, "name"));
        if (facet.name.empty())
            continue;
        // A country is searched by its code; a language or tag by its name.
        facet.code =
            kind == EDirectoryFacet::Countries ? Clean(Text(entry, "iso_3166_1")) : facet.name;
        if (facet.code.empty() ||
            (kind == EDirectoryFacet::Countries && !IsCountryCode(facet.code)))
            continue;
        facet.stationCount = Number(entry, "stationcount");
        answer.facets.push_back(std::move(facet));
    }
    return answer;
}

ClickAnswer ReadClickAnswer(std::string_view text)
{
    ClickAnswer answer;
    const json document = Parse(text);
    if (document.is_discarded())
    {
        answer.error = UnreadableText(text);
        return answer;
    }
    if (!document.is_object())
    {
        answer.error = "The directory's answer to the play is not an object.";
        return answer;
    }
    answer.ok = Flag(document, "ok") && document.contains("ok");
    answer.url = Text(document, "url");
    if (!answer.ok)
    {
        const std::string message = Clean(Text(document, "message"));
        answer.error = message.empty() ? "The directory did not count the play."
                                       : "The directory did not count the play: " + message;
    }
    return answer;
}

void KeepMostUsedFacets(std::vector<DirectoryFacet>& facets, std::size_t nMost)
{
    if (facets.size() > nMost)
    {
        std::partial_sort(facets.begin(), facets.begin() + std::ptrdiff_t(nMost), facets.end(),
                          [](const DirectoryFacet& a, const DirectoryFacet& b)
                          { return a.stationCount > b.stationCount; });
        facets.resize(nMost);
    }
    std::sort(facets.begin(), facets.end(),
              [](const DirectoryFacet& a, const DirectoryFacet& b) { return a.name < b.name; });
}
