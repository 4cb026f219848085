#include "platform/VirtualKeys.h"

#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace platform
{

namespace
{
// The keys that are not part of a run (letters, digits, function keys, keypad digits).
const VirtualKeyInfo kSingleKeys[] = {
    {VK_BACK, XK_BackSpace, false, "Backspace"},
    {VK_TAB, XK_Tab, false, "Tab"},
    {0x0C, XK_Clear, false, "Clear"},
    {VK_RETURN, XK_Return, false, "Enter"},
    {0x13, XK_Pause, false, "Pause"},
    {VK_ESCAPE, XK_Escape, false, "Esc"},
    {VK_SPACE, XK_space, false, "Space"},
    {VK_PRIOR, XK_Prior, true, "Page Up"},
    {VK_NEXT, XK_Next, true, "Page Down"},
    {VK_END, XK_End, true, "End"},
    {VK_HOME, XK_Home, true, "Home"},
    {VK_LEFT, XK_Left, true, "Left"},
    {VK_UP, XK_Up, true, "Up"},
    {VK_RIGHT, XK_Right, true, "Right"},
    {VK_DOWN, XK_Down, true, "Down"},
    {0x29, XK_Select, false, "Select"},
    {0x2B, XK_Execute, false, "Execute"},
    {0x2C, XK_Print, true, "Print Screen"},
    {VK_INSERT, XK_Insert, true, "Insert"},
    {VK_DELETE, XK_Delete, true, "Delete"},
    {0x2F, XK_Help, false, "Help"},
    {0x5D, XK_Menu, true, "Menu"},
    {0x5F, XF86XK_Sleep, false, "Sleep"},
    {0x6A, XK_KP_Multiply, false, "Num *"},
    {0x6B, XK_KP_Add, false, "Num +"},
    {0x6C, XK_KP_Separator, false, "Num Separator"},
    {0x6D, XK_KP_Subtract, false, "Num -"},
    {0x6E, XK_KP_Decimal, false, "Num ."},
    {0x6F, XK_KP_Divide, true, "Num /"},
    {0x91, XK_Scroll_Lock, false, "Scroll Lock"},
    {0xA6, XF86XK_Back, true, "Browser Back"},
    {0xA7, XF86XK_Forward, true, "Browser Forward"},
    {0xA8, XF86XK_Refresh, true, "Browser Refresh"},
    {0xA9, XF86XK_Stop, true, "Browser Stop"},
    {0xAA, XF86XK_Search, true, "Browser Search"},
    {0xAB, XF86XK_Favorites, true, "Browser Favorites"},
    {0xAC, XF86XK_HomePage, true, "Browser Home"},
    {VK_VOLUME_MUTE, XF86XK_AudioMute, true, "Mute"},
    {VK_VOLUME_DOWN, XF86XK_AudioLowerVolume, true, "Volume Down"},
    {VK_VOLUME_UP, XF86XK_AudioRaiseVolume, true, "Volume Up"},
    {VK_MEDIA_NEXT_TRACK, XF86XK_AudioNext, true, "Next Track"},
    {VK_MEDIA_PREV_TRACK, XF86XK_AudioPrev, true, "Previous Track"},
    {VK_MEDIA_STOP, XF86XK_AudioStop, true, "Stop Media"},
    {VK_MEDIA_PLAY_PAUSE, XF86XK_AudioPlay, true, "Play/Pause"},
    {0xB4, XF86XK_Mail, true, "Mail"},
    {0xB5, XF86XK_AudioMedia, true, "Media"},
    {0xB6, XF86XK_MyComputer, true, "My Computer"},
    {0xB7, XF86XK_Calculator, true, "Calculator"},
    // The punctuation keys, named by what they give on a US layout.
    {0xBA, XK_semicolon, false, ";"},
    {0xBB, XK_equal, false, "="},
    {0xBC, XK_comma, false, ","},
    {0xBD, XK_minus, false, "-"},
    {0xBE, XK_period, false, "."},
    {0xBF, XK_slash, false, "/"},
    {0xC0, XK_grave, false, "`"},
    {0xDB, XK_bracketleft, false, "["},
    {0xDC, XK_backslash, false, "\\"},
    {0xDD, XK_bracketright, false, "]"},
    {0xDE, XK_apostrophe, false, "'"},
    {0xE2, XK_less, false, "<"},
};

const char* const kDigitNames[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const kLetterNames[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                    "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                    "S", "T", "U", "V", "W", "X", "Y", "Z"};
const char* const kKeypadNames[] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                    "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
const char* const kFunctionKeyNames[] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                         "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                         "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};

// Adds a run of keys whose codes and key symbols both count up.
template <size_t N>
void AddRun(std::vector<VirtualKeyInfo>& table, unsigned firstKey, unsigned long firstKeySym,
            const char* const (&names)[N])
{
    for (unsigned index = 0; index < N; ++index)
        table.push_back({firstKey + index, firstKeySym + index, false, names[index]});
}

std::vector<VirtualKeyInfo> BuildTable()
{
    std::vector<VirtualKeyInfo> table(std::begin(kSingleKeys), std::end(kSingleKeys));
    AddRun(table, '0', XK_0, kDigitNames);
    AddRun(table, 'A', XK_a, kLetterNames);
    AddRun(table, VK_NUMPAD0, XK_KP_0, kKeypadNames);
    AddRun(table, VK_F1, XK_F1, kFunctionKeyNames);
    std::sort(table.begin(), table.end(),
              [](const VirtualKeyInfo& a, const VirtualKeyInfo& b)
              { return a.virtualKey < b.virtualKey; });
    return table;
}

// Further key symbols that read as a virtual key: the keypad's Enter, the
// shifted forms of keys, and the keypad with Num Lock off.
struct KeySymAlias
{
    unsigned long keySym;
    unsigned virtualKey;
    bool extended;
};

const KeySymAlias kAliases[] = {
    {XK_KP_Enter, VK_RETURN, true},
    {XK_ISO_Left_Tab, VK_TAB, false},
    {XK_KP_Insert, VK_INSERT, false},
    {XK_KP_End, VK_END, false},
    {XK_KP_Down, VK_DOWN, false},
    {XK_KP_Next, VK_NEXT, false},
    {XK_KP_Left, VK_LEFT, false},
    {XK_KP_Begin, 0x0C, false},
    {XK_KP_Right, VK_RIGHT, false},
    {XK_KP_Home, VK_HOME, false},
    {XK_KP_Up, VK_UP, false},
    {XK_KP_Prior, VK_PRIOR, false},
    {XK_KP_Delete, VK_DELETE, false},
    {XK_Sys_Req, 0x2C, true},
    {XK_Break, 0x13, true},
    {XF86XK_AudioPause, VK_MEDIA_PLAY_PAUSE, true},
    {XK_colon, 0xBA, false},
    {XK_plus, 0xBB, false},
    {XK_underscore, 0xBD, false},
    {XK_question, 0xBF, false},
    {XK_asciitilde, 0xC0, false},
    {XK_braceleft, 0xDB, false},
    {XK_bar, 0xDC, false},
    {XK_braceright, 0xDD, false},
    {XK_quotedbl, 0xDE, false},
    {XK_greater, 0xE2, false},
};

const VirtualKeyInfo* FindVirtualKey(unsigned virtualKey)
{
    const auto& table = VirtualKeyTable();
    const auto found = std::lower_bound(table.begin(), table.end(), virtualKey,
                                        [](const VirtualKeyInfo& info, unsigned key)
                                        { return info.virtualKey < key; });
    return found != table.end() && found->virtualKey == virtualKey ? &*found : nullptr;
}
} // namespace

const std::vector<VirtualKeyInfo>& VirtualKeyTable()
{
    static const std::vector<VirtualKeyInfo> table = BuildTable();
    return table;
}

std::optional<unsigned long> KeySymFromVirtualKey(unsigned virtualKey)
{
    if (const VirtualKeyInfo* info = FindVirtualKey(virtualKey))
        return info->keySym;
    return std::nullopt;
}

std::vector<unsigned long> ExtraKeySymsOfVirtualKey(unsigned virtualKey)
{
    // The keypad's Enter is the same key to a person; the keypad's navigation
    // keys are not, because with Num Lock on they are digits.
    if (virtualKey == VK_RETURN)
        return {XK_KP_Enter};
    return {};
}

std::optional<VirtualKeyPress> VirtualKeyFromKeySym(unsigned long keySym)
{
    if (keySym >= XK_A && keySym <= XK_Z)
        keySym += XK_a - XK_A;
    for (const VirtualKeyInfo& info : VirtualKeyTable())
    {
        if (info.keySym == keySym)
            return VirtualKeyPress{info.virtualKey, info.extended};
    }
    for (const KeySymAlias& alias : kAliases)
    {
        if (alias.keySym == keySym)
            return VirtualKeyPress{alias.virtualKey, alias.extended};
    }
    return std::nullopt;
}

unsigned ModifierOfKeySym(unsigned long keySym)
{
    switch (keySym)
    {
    case XK_Shift_L:
    case XK_Shift_R:
        return MOD_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
        return MOD_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
        return MOD_ALT;
    case XK_Super_L:
    case XK_Super_R:
    case XK_Hyper_L:
    case XK_Hyper_R:
        return MOD_WIN;
    default:
        return 0;
    }
}

bool IsModifierKeySym(unsigned long keySym)
{
    if (ModifierOfKeySym(keySym) != 0)
        return true;
    switch (keySym)
    {
    case XK_Caps_Lock:
    case XK_Shift_Lock:
    case XK_Num_Lock:
    case XK_Mode_switch:
    case XK_ISO_Level3_Shift:
    case XK_ISO_Level5_Shift:
    case XK_ISO_Next_Group:
    case XK_ISO_Prev_Group:
        return true;
    default:
        return false;
    }
}

std::string VirtualKeyName(unsigned virtualKey)
{
    if (const VirtualKeyInfo* info = FindVirtualKey(virtualKey))
        return info->name;
    char text[16];
    std::snprintf(text, sizeof text, "Key 0x%02X", virtualKey & 0xFFFFu);
    return text;
}

std::optional<unsigned> XModifierState(unsigned modifiers, const XModifierLayout& layout)
{
    if ((modifiers & ~MOD_ALL) != 0)
        return std::nullopt;
    unsigned state = 0;
    if (modifiers & MOD_SHIFT)
        state |= ShiftMask;
    if (modifiers & MOD_CONTROL)
        state |= ControlMask;
    if (modifiers & MOD_ALT)
    {
        if (layout.altMask == 0)
            return std::nullopt;
        state |= layout.altMask;
    }
    if (modifiers & MOD_WIN)
    {
        if (layout.superMask == 0)
            return std::nullopt;
        state |= layout.superMask;
    }
    return state;
}

std::vector<unsigned> LockVariants(unsigned state, const XModifierLayout& layout)
{
    std::vector<unsigned> variants = {state, state | LockMask};
    if (layout.numLockMask != 0 && layout.numLockMask != LockMask)
    {
        variants.push_back(state | layout.numLockMask);
        variants.push_back(state | layout.numLockMask | LockMask);
    }
    return variants;
}

unsigned SignificantXModifiers(unsigned eventState, const XModifierLayout& layout)
{
    return eventState & (ShiftMask | ControlMask | layout.altMask | layout.superMask);
}

} // namespace platform
