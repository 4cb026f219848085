#include "catalogue/DataFolder.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
mode_t ModeOf(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return 0;
    return info.st_mode & 07777;
}
} // namespace

TEST(DataFolder, IsWavecrestInTheDataHomeCreatedForTheUserAlone)
{
    CTempHome home;
    const std::string expected = home.DataFolder() + "/Wavecrest";
    const mode_t oldMask = ::umask(0);
    const std::string folder = GetDataFolder();
    ::umask(oldMask);
    EXPECT_EQ(folder, expected);
    EXPECT_EQ(ModeOf(expected), 0700u);
    EXPECT_EQ(GetStationListPath(), expected + "/StationList.zip");
}

TEST(DataFolder, DefaultsToLocalShareInTheHomeAndCreatesMissingParents)
{
    CTempHome home;
    ::unsetenv("XDG_DATA_HOME");
    const std::string expected = home.Path() + "/.local/share/Wavecrest";
    EXPECT_EQ(GetDataFolder(), expected);
    EXPECT_EQ(ModeOf(expected), 0700u);
    EXPECT_EQ(ModeOf(home.Path() + "/.local/share"), 0700u);

    // A relative data home does not count either.
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(GetDataFolder(), expected);
}

TEST(DataFolder, AnExistingFolderIsKeptAsItIs)
{
    CTempHome home;
    const std::string folder = home.DataFolder() + "/Wavecrest";
    ASSERT_EQ(::mkdir(folder.c_str(), 0750), 0);
    ::chmod(folder.c_str(), 0750);
    EXPECT_EQ(GetDataFolder(), folder);
    EXPECT_EQ(ModeOf(folder), 0750u);
}

TEST(DataFolder, ABaseEndingInASlashGivesNoDoubledSeparator)
{
    CTempHome home;
    ::setenv("XDG_DATA_HOME", (home.DataFolder() + "//").c_str(), 1);
    EXPECT_EQ(GetDataFolder(), home.DataFolder() + "/Wavecrest");
    EXPECT_EQ(GetStationListPath(), home.DataFolder() + "/Wavecrest/StationList.zip");
    EXPECT_EQ(ComposeDataFolder("/", ""), "/Wavecrest");
}

TEST(DataFolder, AFailureToCreateTheFolderStillGivesItsPath)
{
    CTempHome home;
    WriteWholeFile(home.DataFolder() + "/Wavecrest", "a file in the way");
    EXPECT_EQ(GetDataFolder(), home.DataFolder() + "/Wavecrest");
}

TEST(DataFolder, WithoutAHomeTheExecutablesFolderIsTheBase)
{
    EXPECT_EQ(ComposeDataFolder("", "/opt/wavecrest/bin"), "/opt/wavecrest/bin/Wavecrest");
    EXPECT_EQ(ComposeDataFolder("", ""), "/Wavecrest");
    EXPECT_EQ(ComposeDataFolder("/home/u/.local/share", "/opt/bin"),
              "/home/u/.local/share/Wavecrest");
}

TEST(DataFolder, ModuleFolderIsTheFolderOfTheRunningProgram)
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    ASSERT_GT(length, 0);
    std::string executable(buffer, static_cast<std::size_t>(length));
    EXPECT_EQ(GetModuleFolder(), executable.substr(0, executable.rfind('/')));
}

// A user without a home: no HOME, no XDG_DATA_HOME and no account entry. Only
// root can become such a user, in a child process.
TEST(DataFolder, AUserWithoutAnyHomeFallsBackToTheExecutablesFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to a user without an account";
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        ::close(pipeEnds[0]);
        ::unsetenv("HOME");
        ::unsetenv("XDG_DATA_HOME");
        const uid_t nobodyKnown = 54321; // no account entry
        if (::setgid(nobodyKnown) != 0 || ::setuid(nobodyKnown) != 0)
            ::_exit(3);
        const std::string folder = GetDataFolder();
        if (::write(pipeEnds[1], folder.data(), folder.size()) < 0)
            ::_exit(4);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string folder;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        folder.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(folder, GetModuleFolder() + "/Wavecrest");
}
