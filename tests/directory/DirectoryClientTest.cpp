// The directory client against a loopback server that answers as the
// directory does, with mirrors that are down or answer badly.
#include "DirectoryTestServer.h"

#include "directory/DirectoryClient.h"
#include "directory/DirectoryFetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <random>
#include <thread>

namespace
{
using namespace std::chrono_literals;

// Stands for the GUI thread: what the client posts waits here until the test runs it.
class CPostedTasks
{
public:
    CDirectoryClient::Post Poster()
    {
        return [this](CDirectoryClient::Task task)
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.push_back(std::move(task));
            m_posted.notify_all();
        };
    }
    // Runs the next posted task; false when none came in time.
    bool RunNext(std::chrono::milliseconds timeout = 30s)
    {
        CDirectoryClient::Task task;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_posted.wait_for(lock, timeout, [this] { return !m_tasks.empty(); }))
                return false;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
        return true;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<CDirectoryClient::Task> m_tasks;
};

std::shared_ptr<CDirectorySession> SessionOf(std::vector<std::string> servers)
{
    return std::make_shared<CDirectorySession>([servers] { return servers; });
}

StationsAnswer SearchOnce(CDirectoryClient& client, CPostedTasks& posted,
                          const StationSearch& search)
{
    StationsAnswer result;
    result.error = "never delivered";
    client.Search(search, [&result](const StationsAnswer& answer) { result = answer; });
    EXPECT_TRUE(posted.RunNext());
    return result;
}

std::vector<std::string> Names(const StationsAnswer& answer)
{
    std::vector<std::string> names;
    for (const DirectoryStation& station : answer.stations)
        names.push_back(station.name);
    return names;
}
} // namespace

TEST(DirectoryClient, SearchesWithFiltersAndOrderPastADeadMirror)
{
    CDirectoryTestServer server;
    const std::string dead = DeadServerAddress();
    auto session = SessionOf({dead, server.Address()});
    CPostedTasks posted;
    CDirectoryClient client(session, posted.Poster());

    StationSearch search;
    search.name = "JAZZ";
    const StationsAnswer byVotes = SearchOnce(client, posted, search);
    EXPECT_EQ(byVotes.error, "");
    // The broken station is left out; the most voted comes first.
    EXPECT_EQ(Names(byVotes), (std::vector<std::string>{"Blue Note Jazz Radio", "Jazz am Abend"}));
    // The dead mirror is tried after the one that answered from now on.
    EXPECT_EQ(session->Servers(), (std::vector<std::string>{server.Address(), dead}));

    search.order = EStationOrder::ClickCount;
    search.hideBroken = false;
    EXPECT_EQ(
        Names(SearchOnce(client, posted, search)),
        (std::vector<std::string>{"Acid Jazz Broken", "Jazz am Abend", "Blue Note Jazz Radio"}));
    StationSearch filtered;
    filtered.countryCode = "DE";
    filtered.tag = "jazz";
    filtered.order = EStationOrder::Name;
    EXPECT_EQ(Names(SearchOnce(client, posted, filtered)),
              (std::vector<std::string>{"Jazz am Abend"}));
    // Every request named the program and its version.
    const std::string requests = server.Requests();
    EXPECT_NE(requests.find(std::string("\t") + DirectoryUserAgent()), std::string::npos);
    EXPECT_EQ(std::string(DirectoryUserAgent()).rfind("Wavecrest/", 0), 0u);
}

TEST(DirectoryClient, AnswersAreKeptForTheSessionButPlaysAreAlwaysCounted)
{
    CDirectoryTestServer server;
    auto session = SessionOf({server.Address()});
    CPostedTasks posted;
    CDirectoryClient client(session, posted.Poster());

    FacetsAnswer countries;
    for (int i = 0; i < 2; ++i)
    {
        client.Facets(EDirectoryFacet::Countries, 100,
                      [&countries](const FacetsAnswer& answer) { countries = answer; });
        ASSERT_TRUE(posted.RunNext());
    }
    EXPECT_EQ(server.CountRequests("/json/countries"), 1);
    ASSERT_EQ(countries.facets.size(), 4u);
    EXPECT_EQ(countries.facets[0].code, "FR");

    // Another client of the same session finds the answer too.
    CDirectoryClient second(session, posted.Poster());
    second.Facets(EDirectoryFacet::Countries, 100, [](const FacetsAnswer&) {});
    ASSERT_TRUE(posted.RunNext());
    EXPECT_EQ(server.CountRequests("/json/countries"), 1);

    const std::string uuid = "9a1c0b6e-0002-4000-8000-000000000002";
    for (int i = 0; i < 2; ++i)
    {
        ClickAnswer click;
        client.CountPlay(uuid, [&click](const ClickAnswer& answer) { click = answer; });
        ASSERT_TRUE(posted.RunNext());
        EXPECT_TRUE(click.ok) << click.error;
    }
    EXPECT_EQ(server.Clicks(uuid), 2);
}

struct BadMirror
{
    const char* mode;
    const char* error; // part of the text when this mirror is the only one
};

class DirectoryBadMirror : public ::testing::TestWithParam<BadMirror>
{
};

TEST_P(DirectoryBadMirror, GivesAClearTextAloneAndIsPassedOverBeforeAGoodOne)
{
    CDirectoryTestServer server;
    const std::string bad = server.Address(GetParam().mode);
    DirectoryLimits quick;
    quick.connectTimeout = 2s;
    quick.stallTimeout = 1500ms;
    quick.totalTimeout = 20s;

    auto alone = SessionOf({bad});
    alone->SetLimits(quick);
    CPostedTasks posted;
    {
        CDirectoryClient client(alone, posted.Poster());
        StationSearch search;
        search.name = "jazz";
        const StationsAnswer answer = SearchOnce(client, posted, search);
        EXPECT_TRUE(answer.stations.empty());
        EXPECT_NE(answer.error.find(GetParam().error), std::string::npos) << answer.error;
        FacetsAnswer tags;
        client.Facets(EDirectoryFacet::Tags, 100, [&tags](const FacetsAnswer& a) { tags = a; });
        ASSERT_TRUE(posted.RunNext());
        EXPECT_FALSE(tags.error.empty());
    }

    auto both = SessionOf({bad, server.Address()});
    both->SetLimits(quick);
    CDirectoryClient client(both, posted.Poster());
    StationSearch search;
    search.name = "jazz";
    const StationsAnswer answer = SearchOnce(client, posted, search);
    EXPECT_EQ(answer.error, "");
    EXPECT_EQ(answer.stations.size(), 2u);
    EXPECT_EQ(both->Servers().front(), server.Address());
}

INSTANTIATE_TEST_SUITE_P(Mirrors, DirectoryBadMirror,
                         ::testing::Values(BadMirror{"truncated", "not valid JSON"},
                                           BadMirror{"notjson", "not valid JSON"},
                                           BadMirror{"wrongtypes", "no station that can be played"},
                                           BadMirror{"huge", "too large (over 4 MiB)"},
                                           BadMirror{"announced", "too large (over 4 MiB)"},
                                           BadMirror{"stall", "stopped sending"},
                                           BadMirror{"status503", "status 503"}),
                         [](const ::testing::TestParamInfo<BadMirror>& info)
                         { return info.param.mode; });

TEST(DirectoryClient, WithoutServersOrNetworkItSaysSoInOneLine)
{
    CPostedTasks posted;
    CDirectoryClient none(SessionOf({}), posted.Poster());
    const StationsAnswer nothing = SearchOnce(none, posted, StationSearch());
    EXPECT_NE(nothing.error.find("no server of the directory was found"), std::string::npos);

    CDirectoryClient dead(SessionOf({DeadServerAddress()}), posted.Poster());
    const StationsAnswer refused = SearchOnce(dead, posted, StationSearch());
    EXPECT_EQ(refused.error.find("The station directory cannot be reached"), 0u);
    EXPECT_EQ(refused.error.find('\n'), std::string::npos);
}

TEST(DirectoryClient, ANewerSearchOrTheEndOfTheClientDropsWhatIsUnderWay)
{
    CDirectoryTestServer server;
    auto stalling = SessionOf({server.Address("stall")});
    CPostedTasks posted;
    int delivered = 0;
    const auto started = std::chrono::steady_clock::now();
    {
        CDirectoryClient client(stalling, posted.Poster());
        StationSearch first;
        first.name = "first";
        client.Search(first, [&delivered](const StationsAnswer&) { ++delivered; });
        StationSearch second;
        second.name = "second";
        client.Search(second, [&delivered](const StationsAnswer&) { ++delivered; });
        // Both wait on the stalling server, which would keep them 30 s.
        while (server.CountRequests("second") == 0 && server.CountRequests("first") == 0)
            std::this_thread::sleep_for(10ms);
    }
    // The client ended without waiting for the server's limits, and delivered nothing.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    while (posted.RunNext(100ms))
    {
    }
    EXPECT_EQ(delivered, 0);
}

TEST(DirectorySession, ServersAreTheHostsInRandomOrderOrTheOneTheEnvironmentNames)
{
    std::mt19937 random(7);
    const std::vector<std::string> hosts = {"de1.example.org.", "nl1.example.org",
                                            "at1.example.org", "fr1.example.org"};
    std::vector<std::string> seen;
    bool orderChanged = false;
    for (int i = 0; i < 20; ++i)
    {
        const auto addresses = CDirectorySession::AddressesInRandomOrder(hosts, random);
        ASSERT_EQ(addresses.size(), 4u);
        std::vector<std::string> sorted = addresses;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted,
                  (std::vector<std::string>{"https://at1.example.org", "https://de1.example.org",
                                            "https://fr1.example.org", "https://nl1.example.org"}));
        if (!seen.empty() && seen != addresses)
            orderChanged = true;
        seen = addresses;
    }
    EXPECT_TRUE(orderChanged) << "the load is spread over the mirrors";

    setenv("WAVECREST_DIRECTORY_URL", "http://127.0.0.1:8080//", 1);
    const auto chosen = CDirectorySession::DiscoveryFromEnvironment()();
    unsetenv("WAVECREST_DIRECTORY_URL");
    EXPECT_EQ(chosen, (std::vector<std::string>{"http://127.0.0.1:8080"}));
}
