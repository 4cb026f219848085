#include "platform/UserFolders.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

TEST(UserFolders, FollowTheXdgVariables)
{
    CTempHome home;
    EXPECT_EQ(HomeFolder(), home.Path());
    EXPECT_EQ(ConfigFolder(), home.ConfigFolder());
    EXPECT_EQ(DataHomeFolder(), home.DataFolder());
    EXPECT_EQ(RuntimeFolder(), home.RuntimeFolder());
}

TEST(UserFolders, FallBackToTheHomeFolderWhenVariablesAreUnsetOrRelative)
{
    CTempHome home;
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(ConfigFolder(), home.Path() + "/.config");
    EXPECT_EQ(DataHomeFolder(), home.Path() + "/.local/share");
}

TEST(UserFolders, RuntimeFolderFallsBackToAPrivateFolderOfTheUser)
{
    CTempHome home;
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string folder = RuntimeFolder();
    ASSERT_EQ(folder, "/tmp/wavecrest-" + std::to_string(::getuid()));
    struct stat info;
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, ::getuid());

    // Opened to others (by whatever means), it is no longer trusted.
    ::chmod(folder.c_str(), 0777);
    EXPECT_EQ(RuntimeFolder(), "");
    ::chmod(folder.c_str(), 0700);
    EXPECT_EQ(RuntimeFolder(), folder);
}

TEST(UserFolders, ARuntimeFolderOthersCouldUseIsPassedOver)
{
    CTempHome home;
    const std::string runtime = home.RuntimeFolder();
    ASSERT_EQ(RuntimeFolder(), runtime);

    ::chmod(runtime.c_str(), 0755);
    EXPECT_NE(RuntimeFolder(), runtime); // the private one under /tmp instead
    ::chmod(runtime.c_str(), 0700);

    // A link to the user's own private folder leads to a private folder.
    const std::string link = home.Path() + "/runtime-link";
    ASSERT_EQ(::symlink(runtime.c_str(), link.c_str()), 0);
    ::setenv("XDG_RUNTIME_DIR", link.c_str(), 1);
    EXPECT_EQ(RuntimeFolder(), link);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

    if (::geteuid() == 0)
    {
        ASSERT_EQ(::chown(runtime.c_str(), 65534, 65534), 0);
        EXPECT_NE(RuntimeFolder(), runtime); // the private one under /tmp instead
        ASSERT_EQ(::chown(runtime.c_str(), 0, 0), 0);
    }
    EXPECT_EQ(RuntimeFolder(), runtime);
}

TEST(UserFolders, MakeFoldersCreatesParentsAndFailsOnAFileInTheWay)
{
    CTempHome home;
    EXPECT_TRUE(MakeFolders(home.Path() + "/a/b/c", 0700));
    EXPECT_TRUE(FileExists(home.Path() + "/a/b/c"));
    WriteWholeFile(home.Path() + "/file", "x");
    EXPECT_FALSE(MakeFolders(home.Path() + "/file/sub", 0700));
    EXPECT_FALSE(MakeFolders("", 0700));
}

TEST(UserFolders, ExecutablePathNamesThisProgram)
{
    const std::string path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "wc_platform_tests");
}
