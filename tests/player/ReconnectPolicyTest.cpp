#include "player/ReconnectPolicy.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using namespace std::chrono_literals;
using EDrop = CReconnectPolicy::EDrop;
using Clock = CReconnectPolicy::Clock;

// Follows the policy through a drop whose every try fails in the same way,
// the way the player does: wait the delay, try, fail at once.
std::vector<CReconnectPolicy::Duration> DelaysUntilGivingUp(CReconnectPolicy& policy, EDrop eFirst,
                                                            EDrop eEachTry, Clock::time_point& now)
{
    std::vector<CReconnectPolicy::Duration> delays;
    auto decision = policy.OnDropped(eFirst, now);
    while (decision.bRetry)
    {
        delays.push_back(decision.delay);
        EXPECT_EQ(decision.nTry, static_cast<int>(delays.size()));
        now += decision.delay;
        decision = policy.OnDropped(eEachTry, now);
    }
    return delays;
}
} // namespace

TEST(ReconnectPolicy, DroppedLiveStreamIsTriedAgainWithGrowingWaitsForTenMinutes)
{
    for (EDrop eDrop : {EDrop::Ended, EDrop::Broken, EDrop::Stalled})
    {
        CReconnectPolicy policy;
        Clock::time_point now{};
        policy.OnPlaying(now);
        now += 5s;
        const auto delays = DelaysUntilGivingUp(policy, eDrop, EDrop::Broken, now);

        ASSERT_GE(delays.size(), 6u);
        const std::vector<CReconnectPolicy::Duration> first{500ms, 1s, 2s, 4s, 8s, 15s};
        EXPECT_EQ(std::vector<CReconnectPolicy::Duration>(delays.begin(), delays.begin() + 6),
                  first);
        for (std::size_t i = 5; i < delays.size(); ++i)
            EXPECT_EQ(delays[i], 15s);
        CReconnectPolicy::Duration total{0};
        for (auto delay : delays)
            total += delay;
        EXPECT_LE(total, 10min);
        EXPECT_GT(total + 15s, 10min) << "stops trying only once ten minutes are used up";
        EXPECT_FALSE(policy.IsReconnecting());
    }
}

TEST(ReconnectPolicy, StreamRefusedThreeTimesAfterADropIsGivenUp)
{
    CReconnectPolicy policy;
    Clock::time_point now{};
    policy.OnPlaying(now);
    const auto delays = DelaysUntilGivingUp(policy, EDrop::Broken, EDrop::ClientError, now);
    EXPECT_EQ(delays.size(), 3u);
}

TEST(ReconnectPolicy, StreamWithAKnownDurationThatEndsIsNotOpenedAgain)
{
    CReconnectPolicy policy;
    policy.OnPlaying(Clock::time_point{});
    EXPECT_FALSE(policy.OnDropped(EDrop::EndedComplete, Clock::time_point{} + 1min).bRetry);
    EXPECT_FALSE(policy.IsReconnecting());
}

TEST(ReconnectPolicy, SteadySoundAfterAReconnectStartsTheNextSeriesAfresh)
{
    CReconnectPolicy policy;
    Clock::time_point now{};
    policy.OnPlaying(now);
    for (int i = 0; i < 4; ++i)
        now += policy.OnDropped(EDrop::Broken, now).delay;
    EXPECT_EQ(policy.GetTry(), 4);

    policy.OnPlaying(now);
    now += CReconnectPolicy::kSteadyAfter;
    const auto decision = policy.OnDropped(EDrop::Broken, now);
    EXPECT_EQ(decision.nTry, 1);
    EXPECT_EQ(decision.delay, 500ms);
}

TEST(ReconnectPolicy, StreamThatDropsRightAfterEachReconnectKeepsBackingOff)
{
    // A server that accepts and closes at once must not be asked every 0.5 s.
    CReconnectPolicy policy;
    Clock::time_point now{};
    std::vector<CReconnectPolicy::Duration> delays;
    for (int i = 0; i < 5; ++i)
    {
        const auto decision = policy.OnDropped(EDrop::Ended, now);
        delays.push_back(decision.delay);
        now += decision.delay;
        policy.OnPlaying(now);
        now += 2s;
    }
    EXPECT_EQ(delays.back(), 8s);
}

TEST(ReconnectPolicy, ANewAddressEndsTheSeries)
{
    CReconnectPolicy policy;
    Clock::time_point now{};
    policy.OnDropped(EDrop::Broken, now);
    policy.OnDropped(EDrop::ClientError, now + 1s);
    policy.OnDropped(EDrop::ClientError, now + 2s);
    policy.Reset();
    EXPECT_FALSE(policy.IsReconnecting());
    const auto decision = policy.OnDropped(EDrop::ClientError, now + 3s);
    EXPECT_TRUE(decision.bRetry) << "refusals of the old address do not count for the new one";
    EXPECT_EQ(decision.nTry, 1);
}
