#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <set>
#include <utility>

using namespace platform;

namespace
{
const XModifierLayout kUsualLayout{Mod1Mask, Mod4Mask, Mod2Mask};

void ExpectPair(unsigned virtualKey, unsigned long keySym)
{
    EXPECT_EQ(KeySymFromVirtualKey(virtualKey), std::optional<unsigned long>(keySym))
        << "virtual key 0x" << std::hex << virtualKey;
    const auto press = VirtualKeyFromKeySym(keySym);
    ASSERT_TRUE(press.has_value()) << "key symbol 0x" << std::hex << keySym;
    EXPECT_EQ(press->virtualKey, virtualKey) << "key symbol 0x" << std::hex << keySym;
}
} // namespace

TEST(VirtualKeyTable, GivesEveryVirtualKeyBackFromItsKeySym)
{
    ASSERT_FALSE(VirtualKeyTable().empty());
    for (const VirtualKeyInfo& info : VirtualKeyTable())
    {
        EXPECT_EQ(KeySymFromVirtualKey(info.virtualKey), info.keySym) << info.name;
        const auto press = VirtualKeyFromKeySym(info.keySym);
        ASSERT_TRUE(press.has_value()) << info.name;
        EXPECT_EQ(press->virtualKey, info.virtualKey) << info.name;
        EXPECT_EQ(press->extended, info.extended) << info.name;
    }
}

TEST(VirtualKeyTable, HasEachVirtualKeyAndEachKeySymOnce)
{
    std::set<unsigned> virtualKeys;
    std::set<unsigned long> keySyms;
    for (const VirtualKeyInfo& info : VirtualKeyTable())
    {
        EXPECT_TRUE(virtualKeys.insert(info.virtualKey).second) << info.name;
        EXPECT_TRUE(keySyms.insert(info.keySym).second) << info.name;
        EXPECT_EQ(VirtualKeyName(info.virtualKey), info.name);
    }
}

TEST(VirtualKeyTable, CoversLettersDigitsAndTheFunctionKeysUpToF24)
{
    for (unsigned letter = 0; letter < 26; ++letter)
        ExpectPair('A' + letter, XK_a + letter);
    for (unsigned digit = 0; digit < 10; ++digit)
        ExpectPair('0' + digit, XK_0 + digit);
    for (unsigned key = 0; key < 24; ++key)
        ExpectPair(VK_F1 + key, XK_F1 + key);
    ExpectPair(VK_F24, XK_F24);
}

TEST(VirtualKeyTable, CoversTheNavigationAndEditingKeys)
{
    const std::pair<unsigned, unsigned long> pairs[] = {
        {VK_HOME, XK_Home},      {VK_END, XK_End},        {VK_PRIOR, XK_Page_Up},
        {VK_NEXT, XK_Page_Down}, {VK_LEFT, XK_Left},      {VK_UP, XK_Up},
        {VK_RIGHT, XK_Right},    {VK_DOWN, XK_Down},      {VK_INSERT, XK_Insert},
        {VK_DELETE, XK_Delete},  {VK_BACK, XK_BackSpace}, {VK_TAB, XK_Tab},
        {VK_RETURN, XK_Return},  {VK_ESCAPE, XK_Escape},  {VK_SPACE, XK_space},
        {0x13, XK_Pause},        {0x2C, XK_Print},        {0x91, XK_Scroll_Lock},
    };
    for (const auto& [virtualKey, keySym] : pairs)
        ExpectPair(virtualKey, keySym);
}

TEST(VirtualKeyTable, CoversTheNumericPad)
{
    for (unsigned digit = 0; digit < 10; ++digit)
        ExpectPair(VK_NUMPAD0 + digit, XK_KP_0 + digit);
    ExpectPair(0x6A, XK_KP_Multiply);
    ExpectPair(0x6B, XK_KP_Add);
    ExpectPair(0x6D, XK_KP_Subtract);
    ExpectPair(0x6E, XK_KP_Decimal);
    ExpectPair(0x6F, XK_KP_Divide);
}

TEST(VirtualKeyTable, TakesTheMediaKeysToTheirAudioKeySyms)
{
    ExpectPair(0xB3, 0x1008FF14); // play/pause: XF86AudioPlay
    ExpectPair(0xB2, 0x1008FF15); // stop: XF86AudioStop
    ExpectPair(0xB0, 0x1008FF17); // next track: XF86AudioNext
    ExpectPair(0xB1, 0x1008FF16); // previous track: XF86AudioPrev
    ExpectPair(0xAF, 0x1008FF13); // volume up: XF86AudioRaiseVolume
    ExpectPair(0xAE, 0x1008FF11); // volume down: XF86AudioLowerVolume
    ExpectPair(0xAD, 0x1008FF12); // mute: XF86AudioMute
}

TEST(VirtualKeyTable, ReadsCapitalsAndShiftedPunctuationAsTheirKey)
{
    EXPECT_EQ(VirtualKeyFromKeySym(XK_P)->virtualKey, 0x50u);
    EXPECT_EQ(VirtualKeyFromKeySym(XK_colon)->virtualKey, 0xBAu);
    EXPECT_EQ(VirtualKeyFromKeySym(XK_ISO_Left_Tab)->virtualKey, VK_TAB);
    EXPECT_EQ(VirtualKeyFromKeySym(XF86XK_AudioPause)->virtualKey, VK_MEDIA_PLAY_PAUSE);
}

TEST(VirtualKeyTable, TellsTheNavigationClusterFromTheKeypadByTheExtendedFlag)
{
    EXPECT_TRUE(VirtualKeyFromKeySym(XK_Home)->extended);
    const auto keypadHome = VirtualKeyFromKeySym(XK_KP_Home);
    EXPECT_EQ(keypadHome->virtualKey, VK_HOME);
    EXPECT_FALSE(keypadHome->extended);
    const auto keypadEnter = VirtualKeyFromKeySym(XK_KP_Enter);
    EXPECT_EQ(keypadEnter->virtualKey, VK_RETURN);
    EXPECT_TRUE(keypadEnter->extended);
    EXPECT_FALSE(VirtualKeyFromKeySym(XK_Return)->extended);
}

TEST(VirtualKeyTable, LetsBothEnterKeysStandForEnter)
{
    EXPECT_EQ(ExtraKeySymsOfVirtualKey(VK_RETURN), std::vector<unsigned long>{XK_KP_Enter});
    EXPECT_TRUE(ExtraKeySymsOfVirtualKey(VK_HOME).empty());
}

TEST(VirtualKeyTable, HasNothingForCodesAndSymbolsWithoutAKey)
{
    EXPECT_FALSE(KeySymFromVirtualKey(0).has_value());
    EXPECT_FALSE(KeySymFromVirtualKey(0x07).has_value());
    EXPECT_FALSE(KeySymFromVirtualKey(0x10).has_value()); // Shift alone is no hot key
    EXPECT_FALSE(VirtualKeyFromKeySym(XK_Shift_L).has_value());
    EXPECT_FALSE(VirtualKeyFromKeySym(NoSymbol).has_value());
}

TEST(VirtualKeyNames, ReadAsPeopleReadThem)
{
    EXPECT_EQ(VirtualKeyName(0x50), "P");
    EXPECT_EQ(VirtualKeyName(0x37), "7");
    EXPECT_EQ(VirtualKeyName(VK_HOME), "Home");
    EXPECT_EQ(VirtualKeyName(VK_NEXT), "Page Down");
    EXPECT_EQ(VirtualKeyName(VK_F24), "F24");
    EXPECT_EQ(VirtualKeyName(VK_NUMPAD0 + 7), "Num 7");
    EXPECT_EQ(VirtualKeyName(VK_MEDIA_PLAY_PAUSE), "Play/Pause");
    EXPECT_EQ(VirtualKeyName(0xFF), "Key 0xFF");
}

TEST(ModifierKeys, GiveTheirModifierBit)
{
    EXPECT_EQ(ModifierOfKeySym(XK_Shift_R), MOD_SHIFT);
    EXPECT_EQ(ModifierOfKeySym(XK_Control_L), MOD_CONTROL);
    EXPECT_EQ(ModifierOfKeySym(XK_Alt_L), MOD_ALT);
    EXPECT_EQ(ModifierOfKeySym(XK_Meta_L), MOD_ALT);
    EXPECT_EQ(ModifierOfKeySym(XK_Super_L), MOD_WIN);
    EXPECT_EQ(ModifierOfKeySym(XK_p), 0u);
}

TEST(ModifierKeys, IncludeTheLockKeysThatHaveNoBit)
{
    EXPECT_TRUE(IsModifierKeySym(XK_Num_Lock));
    EXPECT_TRUE(IsModifierKeySym(XK_Caps_Lock));
    EXPECT_TRUE(IsModifierKeySym(XK_ISO_Level3_Shift));
    EXPECT_EQ(ModifierOfKeySym(XK_Num_Lock), 0u);
    EXPECT_TRUE(IsModifierKeySym(XK_Control_R));
    EXPECT_FALSE(IsModifierKeySym(XK_Home));
}

TEST(XModifierState, TakesEachModifierBitToTheServersBit)
{
    EXPECT_EQ(XModifierState(0, kUsualLayout), 0u);
    EXPECT_EQ(XModifierState(MOD_CONTROL | MOD_ALT, kUsualLayout),
              unsigned(ControlMask | Mod1Mask));
    EXPECT_EQ(XModifierState(MOD_SHIFT, kUsualLayout), unsigned(ShiftMask));
    EXPECT_EQ(XModifierState(MOD_WIN, kUsualLayout), unsigned(Mod4Mask));
    const XModifierLayout otherLayout{Mod3Mask, Mod5Mask, Mod2Mask};
    EXPECT_EQ(XModifierState(MOD_ALT | MOD_WIN, otherLayout), unsigned(Mod3Mask | Mod5Mask));
}

TEST(XModifierState, RefusesBitsItDoesNotKnowAndModifiersTheServerLacks)
{
    EXPECT_FALSE(XModifierState(0x10, kUsualLayout).has_value());
    EXPECT_FALSE(XModifierState(0x4000 | MOD_CONTROL, kUsualLayout).has_value());
    const XModifierLayout withoutSuper{Mod1Mask, 0, Mod2Mask};
    EXPECT_FALSE(XModifierState(MOD_WIN, withoutSuper).has_value());
    EXPECT_TRUE(XModifierState(MOD_ALT, withoutSuper).has_value());
}

TEST(LockVariants, CoverCapsLockAndNumLockInEveryMix)
{
    const unsigned state = ControlMask | Mod1Mask;
    EXPECT_EQ(LockVariants(state, kUsualLayout),
              (std::vector<unsigned>{state, state | LockMask, state | Mod2Mask,
                                     state | Mod2Mask | LockMask}));
}

TEST(LockVariants, LeaveOutNumLockWhenTheServerHasNone)
{
    const XModifierLayout withoutNumLock{Mod1Mask, Mod4Mask, 0};
    EXPECT_EQ(LockVariants(ShiftMask, withoutNumLock),
              (std::vector<unsigned>{ShiftMask, ShiftMask | LockMask}));
}

TEST(SignificantXModifiers, IgnoreLocksMouseButtonsAndLevelShifts)
{
    const unsigned state = ControlMask | Mod1Mask | LockMask | Mod2Mask | Button1Mask | Mod5Mask;
    EXPECT_EQ(SignificantXModifiers(state, kUsualLayout), unsigned(ControlMask | Mod1Mask));
    EXPECT_EQ(SignificantXModifiers(ShiftMask | Mod4Mask, kUsualLayout),
              unsigned(ShiftMask | Mod4Mask));
}

TEST(HotKeyMessage, CarriesTheModifiersInTheLowWordAndTheKeyInTheHighWord)
{
    EXPECT_EQ(MakeHotKeyLParam(MOD_CONTROL | MOD_ALT, 0x50), 0x00500003);
    EXPECT_EQ(MakeHotKeyLParam(MOD_CONTROL, VK_HOME), 0x00240002);
    EXPECT_EQ(MakeHotKeyLParam(0x1FFFF, 0x12345), 0x2345FFFF);
}
