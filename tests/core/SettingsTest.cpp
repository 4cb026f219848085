#include "core/Settings.h"
#include "core/CachedSettings.h"
#include "core/SettingsTable.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <wx/string.h>

#include <map>

namespace
{
class SettingsTest : public ::testing::Test
{
protected:
    CTempHome m_home;
    CachedSettings m_cache;
};
} // namespace

TEST_F(SettingsTest, LiveInTheSettingsFileOfTheConfigFolder)
{
    EXPECT_EQ(GetSettingsFilePath(), m_home.SettingsFile());
    WriteSettingInt("AutoPlay", 0);
    EXPECT_EQ(ReadWholeFile(m_home.SettingsFile()), "[Settings]\nAutoPlay=0\n");
}

TEST_F(SettingsTest, AFirstStartReadsEveryDefaultOfTheTable)
{
    const std::map<std::string, int> expected = {{"DisplayNonWorkingChannels", 0},
                                                 {"DisplayRadioChannels", 1},
                                                 {"DisplayTVChannels", 1},
                                                 {"LastChannelIndex", 0},
                                                 {"AutoPlay", 1},
                                                 {"LastCategory", 0},
                                                 {"CWavecrestView", 0},
                                                 {"CRadioSettingsView", 0},
                                                 {"CPromoView", 0},
                                                 {"CHardwareStoreView", 0},
                                                 {"Play Key", 0},
                                                 {"Play Mod", 0},
                                                 {"Play Next Key", 0},
                                                 {"Play Next Mod", 0},
                                                 {"Play Prev Key", 0},
                                                 {"Play Prev Mod", 0},
                                                 {"Stop Key", 0},
                                                 {"Stop Mod", 0}};
    std::map<std::string, int> read;
    for (const SettingInfo& info : setting::kAll)
        read[info.name] = GetSetting(info);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(GetWorkspaceInt(setting::ApplicationLook.name, setting::ApplicationLook.defaultValue),
              216);
    EXPECT_FALSE(FileExists(m_home.SettingsFile())) << "reading never creates the file";
}

TEST_F(SettingsTest, CachedFieldsStartUnreadAndLoadOnFirstUse)
{
    EXPECT_EQ(m_cache.m_nDisplayRadioChannels, std::nullopt);
    EXPECT_EQ(m_cache.m_nDisplayTVChannels, std::nullopt);
    EXPECT_EQ(m_cache.m_nLastCategory, std::nullopt);
    EXPECT_EQ(m_cache.DisplayRadioChannels(), 1);
    EXPECT_EQ(m_cache.m_nDisplayRadioChannels, 1);
    WriteSettingInt("LastCategory", 2);
    EXPECT_EQ(m_cache.LastCategory(), 2);
    WriteSettingInt("LastCategory", 3);
    EXPECT_EQ(m_cache.LastCategory(), 2) << "kept until written through the cache";
}

TEST_F(SettingsTest, EveryStoredValueIsReadOnceMinusOneIncluded)
{
    // A value that looked like "not read yet" sent every read to the file
    // again (a list fill read it once per row).
    for (const int stored : {-1, 0, 7})
    {
        m_cache = CachedSettings();
        WriteSettingInt("DisplayRadioChannels", stored);
        WriteSettingInt("DisplayTVChannels", stored);
        WriteSettingInt("LastCategory", stored);
        EXPECT_EQ(m_cache.DisplayRadioChannels(), stored);
        EXPECT_EQ(m_cache.DisplayTVChannels(), stored);
        EXPECT_EQ(m_cache.LastCategory(), stored);
        // Changed behind the cache's back: a field that was read stays as read.
        WriteSettingInt("DisplayRadioChannels", 1);
        WriteSettingInt("DisplayTVChannels", 1);
        WriteSettingInt("LastCategory", 1);
        EXPECT_EQ(m_cache.DisplayRadioChannels(), stored);
        EXPECT_EQ(m_cache.DisplayTVChannels(), stored);
        EXPECT_EQ(m_cache.LastCategory(), stored);
    }
}

TEST_F(SettingsTest, ToggleTwiceComesBackAndLeavesTheCacheUnread)
{
    m_cache.WriteDisplayRadioChannels(ToggledValue(m_cache.DisplayRadioChannels()));
    EXPECT_EQ(m_cache.m_nDisplayRadioChannels, std::nullopt);
    EXPECT_EQ(GetSettingInt("DisplayRadioChannels", 1), 0);
    m_cache.WriteDisplayRadioChannels(ToggledValue(m_cache.DisplayRadioChannels()));
    EXPECT_EQ(m_cache.m_nDisplayRadioChannels, std::nullopt);
    EXPECT_EQ(m_cache.DisplayRadioChannels(), 1);
}

TEST_F(SettingsTest, AnyNonZeroValueCountsAsOnAndTogglesToZero)
{
    WriteSettingInt("DisplayTVChannels", 5);
    EXPECT_NE(m_cache.DisplayTVChannels(), 0);
    EXPECT_EQ(ToggledValue(m_cache.DisplayTVChannels()), 0);
    EXPECT_EQ(ToggledValue(-7), 0);
    EXPECT_EQ(ToggledValue(0), 1);
}

TEST_F(SettingsTest, UnusableStoredValuesReadAsTheDefault)
{
    WriteSettingInt("AutoPlay", 0); // creates the folder
    WriteWholeFile(m_home.SettingsFile(),
                   "[Settings]\nAutoPlay=12abc\nLastChannelIndex=99999999999\nPlay Key=\n");
    EXPECT_EQ(GetSettingInt("AutoPlay", 1), 1);
    EXPECT_EQ(GetSettingInt("LastChannelIndex", 0), 0);
    EXPECT_EQ(GetSettingInt("Play Key", 0), 0);
}

TEST_F(SettingsTest, ACorruptFileReadsAsDefaultsWithoutAnyOutput)
{
    WriteSettingInt("AutoPlay", 0);
    const char garbage[] = "\xff\xfe\x00garbage[[[\n==\n\x01";
    WriteWholeFile(m_home.SettingsFile(), std::string(garbage, sizeof garbage - 1));
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(GetSettingInt("AutoPlay", 1), 1);
    EXPECT_EQ(m_cache.DisplayRadioChannels(), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(SettingsTest, AnUnwritableSettingsFolderFailsQuietlyAndKeepsDefaults)
{
    // A file where the company folder belongs: the folder can never be made.
    WriteWholeFile(m_home.ConfigFolder() + "/tolvane.example", "not a folder");
    ::testing::internal::CaptureStderr();
    WriteSettingInt("AutoPlay", 0);
    EXPECT_FALSE(WriteSettingIntChecked("Play Key", 80));
    EXPECT_FALSE(WriteWorkspaceInt("ApplicationLook", 215));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(GetSettingInt("AutoPlay", 1), 1);
    EXPECT_EQ(GetSettingInt("Play Key", 0), 0);
}

TEST_F(SettingsTest, WorkspaceValuesAreKeptApartFromSettings)
{
    ASSERT_TRUE(WriteWorkspaceInt("ApplicationLook", 218));
    EXPECT_EQ(GetWorkspaceInt("ApplicationLook", 216), 218);
    EXPECT_EQ(GetSettingInt("ApplicationLook", 216), 216);
}

TEST_F(SettingsTest, EveryWriteReachesTheFileAtOnce)
{
    ASSERT_TRUE(WriteSettingIntChecked("LastChannelIndex", 7));
    EXPECT_NE(ReadWholeFile(m_home.SettingsFile()).find("LastChannelIndex=7"), std::string::npos);
    ASSERT_TRUE(WriteSettingIntChecked("LastChannelIndex", -2147483647 - 1));
    EXPECT_EQ(GetSettingInt("LastChannelIndex", 0), -2147483647 - 1);
}
