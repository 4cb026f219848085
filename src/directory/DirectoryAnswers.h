#pragma once
// The directory's answers, read from their JSON text: the stations of a
// search, the lists of countries, languages and tags, and the answer to a
// counted play. Whatever arrives (malformed JSON, wrong types, missing
// fields) gives either the values or a short text that says what was wrong;
// nothing in the text can make the reader throw or crash.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One station of the directory, as far as the program shows and plays it.
struct DirectoryStation
{
    std::string uuid; // the directory's id, used to count a play
    std::string name;
    std::string url;         // the resolved address, what is played
    std::string countryCode; // ISO 3166-1 alpha-2, may be empty
    std::string country;
    std::string language; // may name several, separated by commas
    std::string tags;     // separated by commas
    std::string codec;
    std::int64_t bitrate = 0; // kbit/s, 0 when unknown
    std::int64_t votes = 0;
    std::int64_t clickCount = 0;
    bool lastCheckOk = true;
};

// One entry of the lists of countries, languages or tags.
struct DirectoryFacet
{
    std::string name; // what is shown ("Germany", "german", "jazz")
    std::string code; // what a search is given (country code; the name otherwise)
    std::int64_t stationCount = 0;
};

enum class EDirectoryFacet
{
    Countries,
    Languages,
    Tags
};

struct StationsAnswer
{
    std::vector<DirectoryStation> stations;
    std::size_t leftOut = 0; // entries that were not stations the program can play
    std::string error;       // empty when the answer could be read
};

struct FacetsAnswer
{
    std::vector<DirectoryFacet> facets;
    std::string error;
};

struct ClickAnswer
{
    bool ok = false; // the directory counted the play
    std::string url; // the address it gives for the station
    std::string error;
};

// Answers nested deeper than this are not read: the directory's are two
// levels deep, and a deep one would cost far more memory than its bytes.
constexpr std::size_t kMaxAnswerDepth = 32;

StationsAnswer ReadStationsAnswer(std::string_view text);
FacetsAnswer ReadFacetsAnswer(std::string_view text, EDirectoryFacet kind);
ClickAnswer ReadClickAnswer(std::string_view text);

// Leaves at most nMost entries, those of the most stations, ordered by name.
void KeepMostUsedFacets(std::vector<DirectoryFacet>& facets, std::size_t nMost);
