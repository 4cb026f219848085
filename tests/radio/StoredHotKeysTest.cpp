#include "core/Identifiers.h"
#include "core/Settings.h"
#include "radio/HotKeyCtrl.h"
#include "radio/HotKeys.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <wx/string.h>

namespace
{
class StoredHotKeys : public ::testing::Test
{
protected:
    void TearDown() override { SetSettingsFilePath(std::string()); }

    static int Stored(const char* name) { return GetSettingInt(name, -12345); }

    CTempHome m_home;
};
} // namespace

TEST(HotKeyFlags, StoreControlFlagsCtrlShiftAs6)
{
    EXPECT_EQ(StoredFlagsFromControlFlags(HOTKEYF_CONTROL | HOTKEYF_SHIFT), 6);
}

TEST(HotKeyFlags, StoreTheControlFlagAltAs1)
{
    EXPECT_EQ(StoredFlagsFromControlFlags(HOTKEYF_ALT), 1);
}

TEST(HotKeyFlags, GiveControlFlags5ForAStored5)
{
    EXPECT_EQ(ControlFlagsFromStoredFlags(5), HOTKEYF_SHIFT | HOTKEYF_ALT);
}

TEST(HotKeyFlags, KeepCtrlAndTheExtendedFlagWhereTheyAre)
{
    EXPECT_EQ(TranslateHotKeyFlags(HOTKEYF_CONTROL), HOTKEYF_CONTROL);
    EXPECT_EQ(TranslateHotKeyFlags(HOTKEYF_EXT), HOTKEYF_EXT);
    EXPECT_EQ(ControlFlagsFromStoredFlags(10), HOTKEYF_CONTROL | HOTKEYF_EXT);
    EXPECT_EQ(StoredFlagsFromControlFlags(HOTKEYF_SHIFT), 4);
}

TEST(HotKeyFlags, DropEveryOtherBit)
{
    EXPECT_EQ(TranslateHotKeyFlags(0x00F0), 0);
    EXPECT_EQ(TranslateHotKeyFlags(0xFFFF), 0x000F);
    EXPECT_EQ(TranslateHotKeyFlags(0x4002), 0x0002);
}

TEST(HotKeyFlags, TranslateBackToWhatTheyWere)
{
    for (unsigned flags = 0; flags <= 0xFFFF; ++flags)
    {
        const auto word = static_cast<std::uint16_t>(flags);
        ASSERT_EQ(TranslateHotKeyFlags(TranslateHotKeyFlags(word)), flags & 0x000F) << flags;
    }
}

TEST(HotKeyFlags, RegisterWithoutTheExtendedFlag)
{
    EXPECT_EQ(RegistrationModifiers(10), 2u); // Ctrl + Home, as shown with its extended flag
    EXPECT_EQ(RegistrationModifiers(3), 3u);
    EXPECT_EQ(RegistrationModifiers(0x000F), 7u);
}

TEST(HotKeyActionTable, HoldsTheFourActionsInTheirOrder)
{
    const auto& actions = HotKeyActions();
    EXPECT_STREQ(actions[0].stem, "Play");
    EXPECT_STREQ(actions[1].stem, "Play Next");
    EXPECT_STREQ(actions[2].stem, "Play Prev");
    EXPECT_STREQ(actions[3].stem, "Stop");
    for (int index = 0; index < 4; ++index)
        EXPECT_EQ(actions[index].id, index + 1);
}

TEST(HotKeyActionTable, TurnsEachIdIntoItsPlaybackCommand)
{
    EXPECT_EQ(HotKeyCommand(1), 319);
    EXPECT_EQ(HotKeyCommand(2), 320);
    EXPECT_EQ(HotKeyCommand(3), 321);
    EXPECT_EQ(HotKeyCommand(4), 317);
    EXPECT_EQ(HotKeyCommand(HOTKEY_ID_PLAY), wc::ID_PLAY);
    EXPECT_EQ(HotKeyCommand(5), 0);
    EXPECT_EQ(HotKeyCommand(0), 0);
}

TEST(HotKeyActionTable, NamesTheValuesAfterTheStem)
{
    EXPECT_EQ(HotKeyKeyValueName("Play Next"), "Play Next Key");
    EXPECT_EQ(HotKeyModValueName("Play Next"), "Play Next Mod");
    EXPECT_EQ(HotKeyKeyValueName("Stop"), "Stop Key");
}

TEST_F(StoredHotKeys, ReadAsNoHotKeyWhenNothingIsStored)
{
    std::uint16_t key = 1, controlFlags = 1, storedFlags = 1;
    EXPECT_TRUE(LoadHotKey("Play", key, controlFlags, storedFlags));
    EXPECT_EQ(key, 0);
    EXPECT_EQ(controlFlags, 0);
    EXPECT_EQ(storedFlags, 0);
}

TEST_F(StoredHotKeys, StoreShiftAAs65And4AndLoadItBackAsShift)
{
    ASSERT_TRUE(StoreHotKey("Play", 0x41, HOTKEYF_SHIFT));
    EXPECT_EQ(Stored("Play Key"), 65);
    EXPECT_EQ(Stored("Play Mod"), 4);

    std::uint16_t key = 0, controlFlags = 0, storedFlags = 0;
    LoadHotKey("Play", key, controlFlags, storedFlags);
    EXPECT_EQ(key, 0x41);
    EXPECT_EQ(controlFlags, HOTKEYF_SHIFT);
    EXPECT_EQ(storedFlags, 4);
}

TEST_F(StoredHotKeys, StoreCtrlAltPAs80And3)
{
    ASSERT_TRUE(StoreHotKey("Play", 'P', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(Stored("Play Key"), 80);
    EXPECT_EQ(Stored("Play Mod"), 3);
}

TEST_F(StoredHotKeys, LoadCtrlHomeWithItsExtendedFlag)
{
    ASSERT_TRUE(WriteSettingIntChecked("Stop Key", 0x24));
    ASSERT_TRUE(WriteSettingIntChecked("Stop Mod", 10));

    std::uint16_t key = 0, controlFlags = 0, storedFlags = 0;
    LoadHotKey("Stop", key, controlFlags, storedFlags);
    EXPECT_EQ(key, 0x24);
    EXPECT_EQ(storedFlags, 10);
    EXPECT_EQ(controlFlags, HOTKEYF_CONTROL | HOTKEYF_EXT);
    EXPECT_EQ(RegistrationModifiers(storedFlags), 2u);
}

TEST_F(StoredHotKeys, KeepOnlyTheLow16BitsOfWhatIsRead)
{
    ASSERT_TRUE(WriteSettingIntChecked("Play Prev Key", -1));
    ASSERT_TRUE(WriteSettingIntChecked("Play Prev Mod", 0x1000A));

    std::uint16_t key = 0, controlFlags = 0, storedFlags = 0;
    LoadHotKey("Play Prev", key, controlFlags, storedFlags);
    EXPECT_EQ(key, 0xFFFF);
    EXPECT_EQ(storedFlags, 0x000A);
    EXPECT_EQ(controlFlags, HOTKEYF_CONTROL | HOTKEYF_EXT);
}

TEST_F(StoredHotKeys, WriteSixteenBitNumbersAsNonNegativeIntegers)
{
    ASSERT_TRUE(StoreHotKey("Play Next", 0xFFFF, HOTKEYF_ALT | HOTKEYF_EXT));
    EXPECT_EQ(Stored("Play Next Key"), 65535);
    EXPECT_EQ(Stored("Play Next Mod"), 9);
}

TEST_F(StoredHotKeys, StoreAnEmptyCombinationAsZeros)
{
    ASSERT_TRUE(StoreHotKey("Stop", 'S', HOTKEYF_CONTROL));
    ASSERT_TRUE(StoreHotKey("Stop", 0, 0));
    EXPECT_EQ(Stored("Stop Key"), 0);
    EXPECT_EQ(Stored("Stop Mod"), 0);
}

TEST_F(StoredHotKeys, ReportAStoreThatCannotBeWritten)
{
    // The settings file would have to live inside a plain file.
    WriteWholeFile(m_home.Path() + "/blocker", "");
    SetSettingsFilePath(m_home.Path() + "/blocker/settings.conf");

    EXPECT_FALSE(StoreHotKey("Play", 'P', HOTKEYF_CONTROL));
}
