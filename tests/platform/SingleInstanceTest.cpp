#include "platform/SingleInstance.h"
#include "support/TempHome.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::CSingleInstance;
using Role = CSingleInstance::Role;

namespace
{
// Runs the GLib main loop (where the primary listens) while `work` runs on
// another thread, as a later start would in another process.
template <typename Work> void RunWhileListening(Work work)
{
    std::atomic<bool> done{false};
    std::thread other(
        [&]
        {
            work();
            done = true;
        });
    while (!done)
        g_main_context_iteration(nullptr, FALSE), std::this_thread::yield();
    other.join();
}
} // namespace

TEST(SingleInstance, OnlyTheFirstTakesTheLock)
{
    CTempHome home;
    CSingleInstance first("wavecrest");
    CSingleInstance second("wavecrest");
    EXPECT_EQ(first.Acquire(), Role::Primary);
    EXPECT_EQ(second.Acquire(), Role::Secondary);
}

TEST(SingleInstance, TheLockIsFreeAgainWhenThePrimaryEnds)
{
    CTempHome home;
    {
        CSingleInstance first("wavecrest");
        ASSERT_EQ(first.Acquire(), Role::Primary);
    }
    CSingleInstance next("wavecrest");
    EXPECT_EQ(next.Acquire(), Role::Primary);
}

TEST(SingleInstance, MessagesReachThePrimaryAndTheSenderWaitsForThem)
{
    CTempHome home;
    CSingleInstance primary("wavecrest");
    ASSERT_EQ(primary.Acquire(), Role::Primary);
    std::vector<std::string> received;
    ASSERT_TRUE(primary.Listen([&](const std::string& line) { received.push_back(line); }));

    CSingleInstance later("wavecrest");
    ASSERT_EQ(later.Acquire(), Role::Secondary);
    bool delivered = false;
    RunWhileListening([&] { delivered = later.Send("show") && later.Send("number 12"); });
    EXPECT_TRUE(delivered);
    EXPECT_EQ(received, (std::vector<std::string>{"show", "number 12"}));
}

TEST(SingleInstance, ASenderGivesUpWhenNobodyAnswers)
{
    CTempHome home;
    CSingleInstance primary("wavecrest");
    ASSERT_EQ(primary.Acquire(), Role::Primary); // holds the lock but never listens
    CSingleInstance later("wavecrest");
    ASSERT_EQ(later.Acquire(), Role::Secondary);
    EXPECT_FALSE(later.Send("show", 300));
}

TEST(SingleInstance, AKilledInstanceLeavesNothingThatStopsTheNextStart)
{
    CTempHome home;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        CSingleInstance dying("wavecrest");
        dying.Acquire();
        dying.Listen([](const std::string&) {});
        ::kill(::getpid(), SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(FileExists(home.RuntimeFolder() + "/wavecrest.socket"));

    CSingleInstance next("wavecrest");
    ASSERT_EQ(next.Acquire(), Role::Primary);
    std::string received;
    ASSERT_TRUE(next.Listen([&](const std::string& line) { received = line; }));
    CSingleInstance later("wavecrest");
    ASSERT_EQ(later.Acquire(), Role::Secondary);
    RunWhileListening([&] { EXPECT_TRUE(later.Send("show")); });
    EXPECT_EQ(received, "show");
}

TEST(SingleInstance, OverlongOrUnfinishedMessagesAreDropped)
{
    CTempHome home;
    CSingleInstance primary("wavecrest");
    ASSERT_EQ(primary.Acquire(), Role::Primary);
    int calls = 0;
    ASSERT_TRUE(primary.Listen([&](const std::string&) { ++calls; }));
    CSingleInstance later("wavecrest");
    ASSERT_EQ(later.Acquire(), Role::Secondary);
    RunWhileListening([&] { EXPECT_FALSE(later.Send(std::string(1000, 'x'), 1000)); });
    EXPECT_EQ(calls, 0);
}
