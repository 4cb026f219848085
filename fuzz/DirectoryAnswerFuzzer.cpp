// libFuzzer target: any bytes as an answer of the station directory, read as
// a search's stations, as each of the lists, and as the answer to a counted
// play.
//
// Besides not crashing, hanging or leaking under AddressSanitizer and
// UndefinedBehaviorSanitizer:
//  - an answer is either read or has an error text, and a text that was not
//    read gives nothing else;
//  - every station read has a name and an address, and no control character
//    in what the list shows; its id, if any, has the directory's shape;
//  - every list entry has a name and what a search is given (a country: a
//    code of two letters); the most used few are kept in the order of names;
//  - a play is counted only without an error text.

#include "directory/DirectoryAnswers.h"
#include "directory/DirectoryRequest.h"

#include "FuzzRequire.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace
{
bool Printable(const std::string& text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const StationsAnswer stations = ReadStationsAnswer(text);
    if (!stations.error.empty())
        REQUIRE(stations.stations.empty());
    for (const DirectoryStation& station : stations.stations)
    {
        REQUIRE(!station.name.empty() && !station.url.empty());
        REQUIRE(station.uuid.empty() || IsStationUuid(station.uuid));
        REQUIRE(Printable(station.name) && Printable(station.country) &&
                Printable(station.language) && Printable(station.tags) &&
                Printable(station.codec) && Printable(station.countryCode));
    }

    for (EDirectoryFacet kind :
         {EDirectoryFacet::Countries, EDirectoryFacet::Languages, EDirectoryFacet::Tags})
    {
        FacetsAnswer facets = ReadFacetsAnswer(text, kind);
        if (!facets.error.empty())
            REQUIRE(facets.facets.empty());
        for (const DirectoryFacet& facet : facets.facets)
            REQUIRE(!facet.name.empty() && !facet.code.empty() && Printable(facet.name) &&
                    Printable(facet.code) &&
                    (kind != EDirectoryFacet::Countries || IsCountryCode(facet.code)));
        const std::size_t nMost = size % 4;
        KeepMostUsedFacets(facets.facets, nMost);
        REQUIRE(facets.facets.size() <= nMost);
        for (std::size_t i = 1; i < facets.facets.size(); ++i)
            REQUIRE(!(facets.facets[i].name < facets.facets[i - 1].name));
    }

    const ClickAnswer click = ReadClickAnswer(text);
    REQUIRE(click.ok == click.error.empty());
    return 0;
}
