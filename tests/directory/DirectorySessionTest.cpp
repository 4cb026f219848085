// The session's memory of answers (bounded, least recently used first) and
// its lookup of the servers, which nobody has to wait for.
#include "directory/DirectorySession.h"
#include "directory/AnswerCache.h"
#include "directory/DirectoryClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

namespace
{
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A discovery that blocks, as the resolver does with a name server that
// never answers, until the test lets it go.
struct CBlockedDiscovery
{
    std::mutex mutex;
    std::condition_variable released;
    bool bReleased = false;
    int nCalls = 0;

    void Release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        bReleased = true;
        released.notify_all();
    }
};

CDirectorySession::Discovery Blocking(std::shared_ptr<CBlockedDiscovery> blocked)
{
    return [blocked]
    {
        std::unique_lock<std::mutex> lock(blocked->mutex);
        ++blocked->nCalls;
        blocked->released.wait(lock, [&] { return blocked->bReleased; });
        return std::vector<std::string>{"http://127.0.0.1:9"};
    };
}
} // namespace

TEST(AnswerCache, KeepsWithinItsBudgetTheMostRecentlyUsed)
{
    CAnswerCache cache(100);
    cache.Keep("/a", std::string(38, 'a')); // 40 bytes with its path
    cache.Keep("/b", std::string(38, 'b'));
    std::string body;
    ASSERT_TRUE(cache.Find("/a", body)); // now /b is the least recently used
    EXPECT_EQ(body, std::string(38, 'a'));
    cache.Keep("/c", std::string(38, 'c'));
    EXPECT_FALSE(cache.Find("/b", body));
    EXPECT_TRUE(cache.Find("/a", body));
    EXPECT_TRUE(cache.Find("/c", body));
    EXPECT_EQ(cache.Bytes(), 80u);

    cache.Keep("/a", "new"); // in place of the old answer
    EXPECT_TRUE(cache.Find("/a", body));
    EXPECT_EQ(body, "new");
    EXPECT_EQ(cache.Bytes(), 45u);
    cache.Keep("/big", std::string(200, 'x')); // larger than the budget: not kept
    EXPECT_FALSE(cache.Find("/big", body));
    EXPECT_EQ(cache.Count(), 2u);
}

TEST(DirectorySession, KeepsAtMostSixteenMegabytesOfAnswers)
{
    CDirectorySession session(nullptr);
    const std::string answer(4u * 1024u * 1024u - 100u, ' ');
    for (int i = 0; i < 10; ++i)
        session.KeepAnswer("/json/stations/search?name=" + std::to_string(i), answer);
    EXPECT_LE(session.KeptAnswerBytes(), kMaxKeptAnswerBytes);
    std::string body;
    EXPECT_TRUE(session.FindAnswer("/json/stations/search?name=9", body));
    EXPECT_FALSE(session.FindAnswer("/json/stations/search?name=0", body));
}

TEST(DirectorySession, ALookupThatHangsHoldsUpNeitherTheCallerNorTheClientsEnd)
{
    auto blocked = std::make_shared<CBlockedDiscovery>();
    auto session = std::make_shared<CDirectorySession>(Blocking(blocked));

    std::atomic<bool> cancelled{false};
    auto waiting = std::async(std::launch::async, [&] { return session->Servers(&cancelled); });
    EXPECT_EQ(waiting.wait_for(200ms), std::future_status::timeout);
    cancelled = true;
    ASSERT_EQ(waiting.wait_for(1s), std::future_status::ready);
    EXPECT_TRUE(waiting.get().empty());

    // A client whose requests wait for the lookup ends at once.
    auto started = Clock::now();
    {
        CDirectoryClient client(session, [](CDirectoryClient::Task) {});
        client.Search(StationSearch(), [](const StationsAnswer&) {});
        client.CountPlay("9a1c0b6e-0002-4000-8000-000000000002", [](const ClickAnswer&) {});
        std::this_thread::yield();
    }
    EXPECT_LT(Clock::now() - started, 1s);

    // The one lookup still running gives the servers to the next caller.
    blocked->Release();
    EXPECT_EQ(session->Servers(), std::vector<std::string>{"http://127.0.0.1:9"});
    std::lock_guard<std::mutex> lock(blocked->mutex);
    EXPECT_EQ(blocked->nCalls, 1);

    // And a session that ends while its lookup hangs leaves it to run out alone.
    auto stuck = std::make_shared<CBlockedDiscovery>();
    started = Clock::now();
    {
        auto gone = std::make_shared<CDirectorySession>(Blocking(stuck));
        CDirectoryClient client(gone, [](CDirectoryClient::Task) {});
        client.Search(StationSearch(), [](const StationsAnswer&) {});
    }
    EXPECT_LT(Clock::now() - started, 1s);
    stuck->Release();
}
