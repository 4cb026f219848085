#include "platform/SettingsFile.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::CSettingsFile;
using platform::ParseInt32;

namespace
{
class SettingsFileTest : public ::testing::Test
{
protected:
    CTempHome m_home;
    std::string m_path = m_home.Path() + "/settings/app.conf";
};

int CountEntries(const std::string& folder)
{
    int count = 0;
    if (DIR* dir = ::opendir(folder.c_str()))
    {
        while (dirent* entry = ::readdir(dir))
            count += entry->d_name[0] != '.' ? 1 : 0;
        ::closedir(dir);
    }
    return count;
}
} // namespace

TEST(ParseInt32, AcceptsWholeSignedNumbersThatFit)
{
    EXPECT_EQ(ParseInt32("0"), 0);
    EXPECT_EQ(ParseInt32(" 42 "), 42);
    EXPECT_EQ(ParseInt32("-5"), -5);
    EXPECT_EQ(ParseInt32("+7"), 7);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
}

TEST(ParseInt32, RejectsAnythingElse)
{
    for (const char* text : {"", " ", "12abc", "abc", "1 2", "-", "+", "0x10", "2147483648",
                             "-2147483649", "99999999999", "99999999999999999999999", "1.5"})
        EXPECT_EQ(ParseInt32(text), std::nullopt) << "'" << text << "'";
}

TEST_F(SettingsFileTest, MissingFileHasNoValues)
{
    CSettingsFile file(m_path);
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), std::nullopt);
}

TEST_F(SettingsFileTest, WriteCreatesTheFolderAndTheValueReadsBack)
{
    CSettingsFile file(m_path);
    ASSERT_TRUE(file.WriteInt("Settings", "Play Key", 80));
    ASSERT_TRUE(file.WriteInt("Workspace", "ApplicationLook", 216));
    EXPECT_EQ(file.ReadInt("Settings", "Play Key"), 80);
    EXPECT_EQ(file.ReadInt("Workspace", "ApplicationLook"), 216);
    EXPECT_EQ(file.ReadInt("Workspace", "Play Key"), std::nullopt) << "groups are separate";
    EXPECT_EQ(ReadWholeFile(m_path),
              "[Settings]\nPlay Key=80\n\n[Workspace]\nApplicationLook=216\n");
}

TEST_F(SettingsFileTest, WriteChangesOneLineAndKeepsEverythingElse)
{
    WriteWholeFile(m_home.Path() + "/keep.conf", "");
    CSettingsFile file(m_home.Path() + "/keep.conf");
    WriteWholeFile(file.GetPath(), "# a comment\r\n[Settings]\r\nAutoPlay=1\r\nnot an entry\r\r\n"
                                   "[Other]\r\nAutoPlay=9\r\n");
    ASSERT_TRUE(file.WriteInt("Settings", "AutoPlay", 0));
    ASSERT_TRUE(file.WriteInt("Settings", "LastChannelIndex", 3));
    EXPECT_EQ(ReadWholeFile(file.GetPath()), "# a comment\n[Settings]\nAutoPlay=0\n"
                                             "LastChannelIndex=3\nnot an entry\n[Other]\n"
                                             "AutoPlay=9\n");
}

TEST_F(SettingsFileTest, TheLastOfRepeatedEntriesCountsForReadingAndWriting)
{
    CSettingsFile file(m_home.Path() + "/twice.conf");
    WriteWholeFile(file.GetPath(), "[Settings]\nAutoPlay=1\nAutoPlay=0\n");
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), 0);
    ASSERT_TRUE(file.WriteInt("Settings", "AutoPlay", 5));
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), 5);
}

TEST_F(SettingsFileTest, DamagedFileGivesNoValuesButCanStillBeWritten)
{
    CSettingsFile file(m_home.Path() + "/damaged.conf");
    const char damaged[] = "\x00\xff[Sett\x01ings\n=\n[Settings\nAutoPlay\n";
    WriteWholeFile(file.GetPath(), std::string(damaged, sizeof damaged - 1));
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), std::nullopt);
    ASSERT_TRUE(file.WriteInt("Settings", "AutoPlay", 0));
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), 0);
}

TEST_F(SettingsFileTest, NonNumbersAndNumbersBeyond32BitsReadAsMissing)
{
    CSettingsFile file(m_home.Path() + "/odd.conf");
    WriteWholeFile(file.GetPath(), "[Settings]\nA=12abc\nB=99999999999\nC=\nD= -12 \n");
    EXPECT_EQ(file.ReadInt("Settings", "A"), std::nullopt);
    EXPECT_EQ(file.ReadInt("Settings", "B"), std::nullopt);
    EXPECT_EQ(file.ReadInt("Settings", "C"), std::nullopt);
    EXPECT_EQ(file.ReadInt("Settings", "D"), -12);
}

TEST_F(SettingsFileTest, AFolderThatCannotBeCreatedMakesWritesFailQuietly)
{
    // A file stands where the settings folder should be: even root cannot write.
    WriteWholeFile(m_home.Path() + "/settings", "in the way");
    CSettingsFile file(m_path);
    EXPECT_FALSE(file.WriteInt("Settings", "AutoPlay", 0));
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), std::nullopt);
}

TEST_F(SettingsFileTest, AnUnreadableFileIsNeverOverwritten)
{
    // A folder where the file should be cannot be read as a file.
    ::mkdir((m_home.Path() + "/settings").c_str(), 0700);
    ::mkdir(m_path.c_str(), 0700);
    CSettingsFile file(m_path);
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), std::nullopt);
    EXPECT_FALSE(file.WriteInt("Settings", "AutoPlay", 0));
}

TEST_F(SettingsFileTest, AFifoInPlaceOfTheFileIsNeitherWaitedOnNorReplaced)
{
    ::mkdir((m_home.Path() + "/settings").c_str(), 0700);
    ASSERT_TRUE(MakeFifo(m_path));
    CSettingsFile file(m_path);
    EXPECT_TRUE(ReturnsWithoutWaitingOnFifo(m_path,
                                            [&]
                                            {
                                                EXPECT_EQ(file.ReadValue("Settings", "A"),
                                                          std::nullopt);
                                                EXPECT_FALSE(file.WriteInt("Settings", "A", 1));
                                            }));
    struct stat info;
    ASSERT_EQ(::lstat(m_path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(SettingsFileTest, AReadOnlyFolderMakesWritesFailAndKeepsTheFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    CSettingsFile file(m_path);
    ASSERT_TRUE(file.WriteInt("Settings", "AutoPlay", 1));
    ::chmod((m_home.Path() + "/settings").c_str(), 0500);
    EXPECT_FALSE(file.WriteInt("Settings", "AutoPlay", 0));
    EXPECT_EQ(file.ReadInt("Settings", "AutoPlay"), 1);
}

// Every start writes some values as they already stand; the file is only
// replaced (a new file, flushed to the disk) when a value changes.
TEST_F(SettingsFileTest, WritingTheStoredValueAgainLeavesTheFileAlone)
{
    CSettingsFile file(m_path);
    ASSERT_TRUE(file.WriteInt("Workspace", "ApplicationLook", 216));
    struct stat before = {};
    ASSERT_EQ(::stat(m_path.c_str(), &before), 0);
    ASSERT_TRUE(file.WriteInt("Workspace", "ApplicationLook", 216));
    struct stat after = {};
    ASSERT_EQ(::stat(m_path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);

    ASSERT_TRUE(file.WriteInt("Workspace", "ApplicationLook", 217));
    ASSERT_EQ(::stat(m_path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(file.ReadInt("Workspace", "ApplicationLook"), 217);
}

TEST_F(SettingsFileTest, WritesLeaveNoTemporaryFilesBehind)
{
    CSettingsFile file(m_path);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(file.WriteInt("Settings", "Value" + std::to_string(i % 4), i));
    EXPECT_EQ(CountEntries(m_home.Path() + "/settings"), 1);
}

TEST_F(SettingsFileTest, AProcessKilledWhileWritingNeverLeavesAHalfWrittenFile)
{
    CSettingsFile file(m_path);
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(file.WriteInt("Settings", "Fixed" + std::to_string(i), i));

    for (int round = 0; round < 8; ++round)
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            CSettingsFile writer(m_path);
            for (int i = 0;; ++i)
                writer.WriteInt("Settings", "Counter", i);
        }
        ::usleep(20000 + 7000 * round);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(file.ReadInt("Settings", "Fixed" + std::to_string(i)), i)
                << "round " << round;
    }
}
