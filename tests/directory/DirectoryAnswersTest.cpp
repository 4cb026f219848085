// The reader of the directory's answers, given what a server may send.
#include "directory/DirectoryAnswers.h"
#include "directory/DirectoryRequest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
const char* const kGoodStations = R"([
 {"stationuuid":"9A1C0B6E-0001-4000-8000-00000000000a","name":"Blue\tNote","url":"http://a/raw","url_resolved":"http://a/resolved",
  "countrycode":"US","country":"USA","language":"english,spanish","tags":"jazz,bebop",
  "codec":"MP3","bitrate":128,"votes":900,"clickcount":50,"lastcheckok":1},
 {"stationuuid":"..","name":"Only Url","url":"http://b/raw","bitrate":"64","votes":1.5e3,
  "lastcheckok":0},
 {"stationuuid":"u3","name":"","url_resolved":"http://c/"},
 {"stationuuid":"u4","name":"No address"},
 42
])";
} // namespace

TEST(DirectoryAnswers, StationsAreReadWithTheirFieldsAndUnplayableOnesLeftOut)
{
    const StationsAnswer answer = ReadStationsAnswer(kGoodStations);
    EXPECT_EQ(answer.error, "");
    ASSERT_EQ(answer.stations.size(), 2u);
    EXPECT_EQ(answer.leftOut, 3u);
    const DirectoryStation& first = answer.stations[0];
    EXPECT_EQ(first.uuid, "9A1C0B6E-0001-4000-8000-00000000000a");
    EXPECT_EQ(first.name, "Blue Note"); // a control character would break the row
    EXPECT_EQ(first.url, "http://a/resolved");
    EXPECT_EQ(first.countryCode, "US");
    EXPECT_EQ(first.language, "english,spanish");
    EXPECT_EQ(first.tags, "jazz,bebop");
    EXPECT_EQ(first.codec, "MP3");
    EXPECT_EQ(first.bitrate, 128);
    EXPECT_EQ(first.votes, 900);
    EXPECT_EQ(first.clickCount, 50);
    EXPECT_TRUE(first.lastCheckOk);
    // Without a resolved address the plain one is played; numbers given as text or fractions count.
    const DirectoryStation& second = answer.stations[1];
    EXPECT_EQ(second.uuid, "") << "an id the directory never gives is never sent back";
    EXPECT_EQ(second.url, "http://b/raw");
    EXPECT_EQ(second.bitrate, 64);
    EXPECT_EQ(second.votes, 1500);
    EXPECT_FALSE(second.lastCheckOk);
}

struct HostileAnswer
{
    const char* name;
    std::string text;
    const char* stationsError; // part of the error text of a search answer ("" for none)
};

class DirectoryHostileAnswers : public ::testing::TestWithParam<HostileAnswer>
{
};

TEST_P(DirectoryHostileAnswers, GiveAClearTextAndNeverCrash)
{
    const HostileAnswer& hostile = GetParam();
    const StationsAnswer stations = ReadStationsAnswer(hostile.text);
    if (*hostile.stationsError)
        EXPECT_NE(stations.error.find(hostile.stationsError), std::string::npos) << stations.error;
    else
        EXPECT_EQ(stations.error, "");
    // The other readers take the same text without harm.
    for (EDirectoryFacet kind :
         {EDirectoryFacet::Countries, EDirectoryFacet::Languages, EDirectoryFacet::Tags})
    {
        const FacetsAnswer facets = ReadFacetsAnswer(hostile.text, kind);
        for (const DirectoryFacet& facet : facets.facets)
            EXPECT_FALSE(facet.name.empty());
    }
    const ClickAnswer click = ReadClickAnswer(hostile.text);
    EXPECT_FALSE(click.ok);
    EXPECT_FALSE(click.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DirectoryHostileAnswers,
    ::testing::Values(
        HostileAnswer{"Empty", "", "not valid JSON"},
        HostileAnswer{"Truncated", std::string(kGoodStations).substr(0, 120), "not valid JSON"},
        HostileAnswer{"Html", "<html>Bad Gateway</html>", "not valid JSON"},
        HostileAnswer{"Object", R"({"stations":[]})", "not a list of stations"},
        HostileAnswer{"Number", "17", "not a list of stations"},
        HostileAnswer{"WrongTypes",
                      R"([{"name":["x"],"url_resolved":{"a":1}},{"name":5,"url":true},null])",
                      "no station that can be played"},
        HostileAnswer{"DeepNesting", std::string(100000, '[') + std::string(100000, ']'),
                      "nested too deeply"},
        HostileAnswer{"DeepInAString", "[\"" + std::string(100000, '[') + "\"]",
                      "no station that can be played"},
        HostileAnswer{"HugeNumbers",
                      R"([{"name":"n","url":"u","votes":1e400,"bitrate":-1e300,)"
                      R"("clickcount":99999999999999999999999}])",
                      "not valid JSON"},
        HostileAnswer{"BadUtf8", "[{\"name\":\"\xff\xfe\",\"url\":\"u\"}]", "not valid JSON"}),
    [](const ::testing::TestParamInfo<HostileAnswer>& info) { return info.param.name; });

TEST(DirectoryAnswers, ListsGiveWhatASearchIsGiven)
{
    const char* countries = R"([{"name":"Germany","iso_3166_1":"DE","stationcount":3},
        {"name":"Nowhere","stationcount":1},{"name":7,"iso_3166_1":"XX"},
        {"name":"Dots","iso_3166_1":".."},{"name":"Long","iso_3166_1":"DEU"}])";
    const FacetsAnswer read = ReadFacetsAnswer(countries, EDirectoryFacet::Countries);
    EXPECT_EQ(read.error, "");
    ASSERT_EQ(read.facets.size(), 1u); // without a code a country cannot be searched for
    EXPECT_EQ(read.facets[0].name, "Germany");
    EXPECT_EQ(read.facets[0].code, "DE");
    EXPECT_EQ(read.facets[0].stationCount, 3);

    const FacetsAnswer tags =
        ReadFacetsAnswer(R"([{"name":"jazz","stationcount":"12"}])", EDirectoryFacet::Tags);
    ASSERT_EQ(tags.facets.size(), 1u);
    EXPECT_EQ(tags.facets[0].code, "jazz");
    EXPECT_EQ(tags.facets[0].stationCount, 12);
    EXPECT_NE(ReadFacetsAnswer(R"({"tags":1})", EDirectoryFacet::Tags).error.find("list of tags"),
              std::string::npos);
}

TEST(DirectoryAnswers, ClickAnswerSaysWhetherThePlayWasCounted)
{
    const ClickAnswer counted =
        ReadClickAnswer(R"({"ok":true,"message":"retrieved station url","url":"http://s/"})");
    EXPECT_TRUE(counted.ok);
    EXPECT_EQ(counted.url, "http://s/");
    EXPECT_EQ(counted.error, "");
    const ClickAnswer refused = ReadClickAnswer(R"({"ok":false,"message":"no such station"})");
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("no such station"), std::string::npos);
    EXPECT_FALSE(ReadClickAnswer(R"({"message":"x"})").ok);
}

TEST(DirectoryRequest, ParametersAreEncodedAndTheOrderSetsItsDirection)
{
    StationSearch search;
    search.name = "Jazz & Blues/100% ü";
    search.countryCode = "DE";
    search.language = "german";
    search.tag = "smooth jazz";
    search.order = EStationOrder::ClickCount;
    search.hideBroken = false;
    search.limit = 50;
    EXPECT_EQ(StationSearchPath(search),
              "/json/stations/search?name=Jazz%20%26%20Blues%2F100%25%20%C3%BC&countrycode=DE"
              "&language=german&languageExact=true&tag=smooth%20jazz&tagExact=true"
              "&order=clickcount&reverse=true&hidebroken=false&limit=50");
    StationSearch byName;
    byName.order = EStationOrder::Name;
    EXPECT_EQ(StationSearchPath(byName),
              "/json/stations/search?order=name&reverse=false&hidebroken=true&limit=200");
    EXPECT_EQ(ClickPath("a/../b?c"), "/json/url/a%2F..%2Fb%3Fc");
    for (const char* id :
         {"9a1c0b6e-0002-4000-8000-000000000002", "9A1C0B6E-0002-4000-8000-ABCDEF012345"})
        EXPECT_TRUE(IsStationUuid(id)) << id;
    for (const char* id :
         {"", "..", ".", "9a1c0b6e-0002-4000-8000-00000000000",
          "9a1c0b6e-0002-4000-8000-0000000000002", "9a1c0b6e-0002-4000-8000/000000000002",
          "9a1c0b6e-0002-4000-8000-00000000000g", "9a1c0b6e00002-4000-8000-000000000002"})
        EXPECT_FALSE(IsStationUuid(id)) << id;
}

TEST(DirectoryAnswers, TheMostUsedFacetsAreKeptInTheOrderOfTheirNames)
{
    std::vector<DirectoryFacet> facets;
    for (int i = 0; i < 50000; ++i)
        facets.push_back({"n" + std::to_string(i), "c", i % 1000});
    KeepMostUsedFacets(facets, 300);
    ASSERT_EQ(facets.size(), 300u);
    EXPECT_TRUE(std::is_sorted(facets.begin(), facets.end(),
                               [](const DirectoryFacet& a, const DirectoryFacet& b)
                               { return a.name < b.name; }));
    for (const DirectoryFacet& facet : facets)
        EXPECT_GE(facet.stationCount, 994); // 50 names for each count
    EXPECT_EQ(FacetsPath(EDirectoryFacet::Languages), "/json/languages");
}
