#pragma once
// The paths of the directory's requests, with their parameters encoded for
// an address: the station search, the lists of countries, languages and
// tags, and the counted play of one station.

#include "directory/DirectoryAnswers.h"

#include <string>
#include <string_view>

enum class EStationOrder
{
    Votes,      // most votes first
    ClickCount, // most plays first
    Name        // by name, A to Z
};

struct StationSearch
{
    std::string name;
    std::string countryCode; // empty: any country
    std::string language;    // empty: any language
    std::string tag;         // empty: any tag
    EStationOrder order = EStationOrder::Votes;
    bool hideBroken = true; // leave out stations that failed the last check
    int limit = 200;
};

// Percent-encodes everything but the unreserved characters of RFC 3986.
std::string EncodeForAddress(std::string_view text);

// "/json/stations/search?name=...&order=votes&reverse=true&hidebroken=true&limit=200".
std::string StationSearchPath(const StationSearch& search);
// "/json/countries", "/json/languages", "/json/tags".
std::string FacetsPath(EDirectoryFacet kind);
// "/json/url/<stationuuid>".
std::string ClickPath(std::string_view stationUuid);

// Whether the id has the directory's shape, "8-4-4-4-12" hexadecimal digits:
// only such an id goes into a request's path.
bool IsStationUuid(std::string_view id);
// Whether the text is a country code of two letters ("DE").
bool IsCountryCode(std::string_view code);
