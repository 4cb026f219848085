#include "platform/VirtualKeys.h"
#include "radio/HotKeyCtrl.h"

#include <gtest/gtest.h>

TEST(HotKeyText, ReadsCtrlAltP)
{
    EXPECT_EQ(HotKeyText('P', HOTKEYF_CONTROL | HOTKEYF_ALT), "Ctrl + Alt + P");
}

TEST(HotKeyText, ReadsCtrlHomeWhateverTheExtendedFlag)
{
    EXPECT_EQ(HotKeyText(platform::VK_HOME, HOTKEYF_CONTROL | HOTKEYF_EXT), "Ctrl + Home");
    EXPECT_EQ(HotKeyText(platform::VK_HOME, HOTKEYF_CONTROL), "Ctrl + Home");
}

TEST(HotKeyText, ReadsNoneWhenEmpty)
{
    EXPECT_EQ(HotKeyText(0, 0), "None");
    EXPECT_EQ(HotKeyText(0, HOTKEYF_EXT), "None");
}

TEST(HotKeyText, PutsTheModifiersInTheOrderCtrlShiftAlt)
{
    EXPECT_EQ(HotKeyText(platform::VK_F1 + 4, HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_CONTROL),
              "Ctrl + Shift + Alt + F5");
    EXPECT_EQ(HotKeyText('A', HOTKEYF_SHIFT), "Shift + A");
    EXPECT_EQ(HotKeyText(platform::VK_NUMPAD0 + 7, HOTKEYF_SHIFT | HOTKEYF_ALT),
              "Shift + Alt + Num 7");
}

TEST(HotKeyText, ReadsAKeyWithoutModifiersAlone)
{
    EXPECT_EQ(HotKeyText(platform::VK_MEDIA_PLAY_PAUSE, HOTKEYF_EXT), "Play/Pause");
    EXPECT_EQ(HotKeyText(platform::VK_F1 + 8, 0), "F9");
}

TEST(HotKeyText, EndsHeldModifiersWithoutAKeyInAPlus)
{
    EXPECT_EQ(HotKeyText(0, HOTKEYF_CONTROL | HOTKEYF_ALT), "Ctrl + Alt + ");
}

TEST(HotKeyWord, PutsTheKeyInTheLowByteAndTheFlagsInTheHighByte)
{
    EXPECT_EQ(MakeHotKeyWord('P', HOTKEYF_CONTROL | HOTKEYF_ALT), 0x0650u);
    EXPECT_EQ(MakeHotKeyWord(platform::VK_HOME, HOTKEYF_CONTROL | HOTKEYF_EXT), 0x0A24u);
    EXPECT_EQ(MakeHotKeyWord(0x150, 0x106), 0x0650u);
    EXPECT_EQ(MakeHotKeyWord(0, 0), 0u);
}
