#include "platform/SingleInstance.h"
#include "support/TempHome.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::CSingleInstance;
using platform::InstanceMessage;
using platform::kMaxInstanceMessage;
using platform::ReadInstanceMessage;
using Role = CSingleInstance::Role;
using Clock = std::chrono::steady_clock;

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

// A client that connects and then sends nothing (or not enough), as a hostile
// or broken program would. -1 when the connection was not taken in time.
int ConnectIdle(const std::string& socketPath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    do
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            return fd;
        if (fd >= 0)
            ::close(fd);
        // The queue of waiting connections is full until the instance accepts.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (Clock::now() < deadline);
    return -1;
}

// Waits until the other side closes the connection; false if it has not
// within the time.
bool WaitForClose(int fd, Clock::time_point deadline)
{
    for (;;)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd waitFor{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waitFor, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char byte;
        if (::read(fd, &byte, 1) <= 0)
            return true;
    }
}

int OpenDescriptors()
{
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd"))
    {
        while (::readdir(dir))
            ++count;
        ::closedir(dir);
    }
    return count;
}

double CpuSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

TEST(InstanceMessage, OneShortLineOfTextIsAMessage)
{
    using State = InstanceMessage::State;
    const std::string longest(kMaxInstanceMessage, 'x');
    const struct
    {
        std::string received;
        bool ended;
        State state;
        std::string text;
    } cases[] = {
        {"", false, State::Incomplete, ""},
        {"sho", false, State::Incomplete, ""},
        {"show\n", false, State::Complete, "show"},
        {"number 12\nanything after", true, State::Complete, "number 12"},
        {"\n", false, State::Complete, ""},
        {longest, false, State::Incomplete, ""},
        {longest + "\n", false, State::Complete, longest},
        {"", true, State::Invalid, ""},
        {"sho", true, State::Invalid, ""},
        {longest + "x", false, State::Invalid, ""},
        {longest + "x\n", false, State::Invalid, ""},
        {"sh\x01w\n", false, State::Invalid, ""},
        {std::string("sh\0w\n", 5), false, State::Invalid, ""},
        {"show\r\n", false, State::Invalid, ""},
    };
    for (const auto& each : cases)
    {
        const InstanceMessage message = ReadInstanceMessage(each.received, each.ended);
        EXPECT_EQ(message.state, each.state) << each.received;
        EXPECT_EQ(message.text, each.text) << each.received;
    }
}

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
    RunWhileListening(
        [&] { EXPECT_FALSE(later.Send(std::string(kMaxInstanceMessage + 1, 'x'), 1000)); });
    EXPECT_EQ(calls, 0);
}

// Idle or slow clients can neither hold the instance's descriptors nor keep
// it from serving: at most kMaxClients are served at once, each is closed
// after its time limit, and a real message gets through afterwards.
TEST(SingleInstance, IdleClientsAreServedAFewAtATimeAndClosedAfterTheirTimeLimit)
{
    CTempHome home;
    CSingleInstance primary("wavecrest");
    ASSERT_EQ(primary.Acquire(), Role::Primary);
    std::vector<std::string> received;
    ASSERT_TRUE(primary.Listen([&](const std::string& line) { received.push_back(line); }));
    g_main_context_iteration(nullptr, FALSE);

    const int clients = 2 * CSingleInstance::kMaxClients;
    const int baseline = OpenDescriptors();
    std::vector<int> fds;
    std::vector<double> closedAfter;
    int mostDescriptors = 0;
    bool delivered = false;
    RunWhileListening(
        [&]
        {
            const auto start = Clock::now();
            for (int i = 0; i < clients; ++i)
                fds.push_back(ConnectIdle(primary.GetSocketPath()));
            // One sends a little and then nothing more.
            (void)::send(fds[0], "sho", 3, MSG_NOSIGNAL);
            std::vector<bool> open(fds.size(), true);
            const auto deadline = start + std::chrono::seconds(20);
            while (std::count(open.begin(), open.end(), true) > 0 && Clock::now() < deadline)
            {
                mostDescriptors = std::max(mostDescriptors, OpenDescriptors());
                for (size_t i = 0; i < fds.size(); ++i)
                {
                    if (open[i] &&
                        WaitForClose(fds[i], Clock::now() + std::chrono::milliseconds(5)))
                    {
                        open[i] = false;
                        closedAfter.push_back(
                            std::chrono::duration<double>(Clock::now() - start).count());
                    }
                }
            }
            delivered = CSingleInstance("wavecrest").Send("show");
        });
    for (int fd : fds)
        ::close(fd);

    EXPECT_EQ(std::count(fds.begin(), fds.end(), -1), 0);
    ASSERT_EQ(closedAfter.size(), fds.size()) << "idle clients were never closed";
    const double limit = CSingleInstance::kClientTimeLimitMs / 1000.0;
    EXPECT_GE(*std::min_element(closedAfter.begin(), closedAfter.end()), 0.9 * limit);
    // The instance's side of at most kMaxClients connections at any time (and
    // a little slack for descriptors the libraries may open meanwhile).
    EXPECT_LE(mostDescriptors, baseline + clients + CSingleInstance::kMaxClients + 2);
    EXPECT_TRUE(delivered);
    EXPECT_EQ(received, std::vector<std::string>{"show"});
}

// With no descriptor left for a waiting connection, the instance waits
// instead of trying again at once, over and over.
TEST(SingleInstance, RunningOutOfDescriptorsDoesNotMakeTheInstanceSpin)
{
    CTempHome home;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        CSingleInstance primary("wavecrest");
        if (primary.Acquire() != Role::Primary || !primary.Listen([](const std::string&) {}))
            ::_exit(2);
        // Every descriptor but two in use.
        rlimit limit{64, 64};
        ::setrlimit(RLIMIT_NOFILE, &limit);
        std::vector<int> used;
        for (int fd; (fd = ::dup(0)) >= 0;)
            used.push_back(fd);
        ::close(used.back());
        ::close(used[used.size() - 2]);
        if (::write(ready[1], "r", 1) != 1)
            ::_exit(3);
        GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
        g_timeout_add(
            2500,
            [](gpointer data)
            {
                g_main_loop_quit(static_cast<GMainLoop*>(data));
                return G_SOURCE_REMOVE;
            },
            loop);
        g_main_loop_run(loop);
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    std::vector<int> fds;
    for (int i = 0; i < CSingleInstance::kMaxClients + 2; ++i)
        fds.push_back(ConnectIdle(home.RuntimeFolder() + "/wavecrest.socket"));
    int status = 0;
    rusage usage{};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    for (int fd : fds)
        if (fd >= 0)
            ::close(fd);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GE(std::count_if(fds.begin(), fds.end(), [](int fd) { return fd >= 0; }), 4);
    EXPECT_LT(CpuSeconds(usage), 0.5) << "the instance kept trying to accept";
}

// A socket served by another user's process is not talked to: it could be
// anyone posing as the running instance.
TEST(SingleInstance, ASocketOfAnotherUserIsNotTalkedTo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the superuser to act as another user";
    CTempHome home;
    const std::string path = home.RuntimeFolder() + "/wavecrest.socket";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::chmod(path.c_str(), 0777);
        // The listening process's user is what a connecting peer sees.
        if (::setuid(65534) != 0 || ::listen(fd, 4) != 0)
            ::_exit(2);
        if (::write(ready[1], "r", 1) != 1)
            ::_exit(3);
        for (;;)
        {
            const int client = ::accept(fd, nullptr, nullptr);
            char buffer[64];
            if (::read(client, buffer, sizeof buffer) > 0 && ::write(client, "done\n", 5) != 5)
                ::_exit(3);
            ::close(client);
        }
    }
    ::close(ready[1]);
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    CSingleInstance later("wavecrest");
    EXPECT_FALSE(later.Send("show", 1000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}
