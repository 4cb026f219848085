#pragma once
// Hot keys are kept in the Windows form everywhere in the program: a
// virtual-key code and MOD_* modifier bits, so a stored value means the same on
// every desktop. This is the translation of that form to the X11 keyboard and
// back, and the packing of a hot-key message. Nothing here talks to an X
// server: the caller supplies the server's modifier layout.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform
{

// Modifier bits of a hot-key registration.
constexpr unsigned MOD_ALT = 0x0001;
constexpr unsigned MOD_CONTROL = 0x0002;
constexpr unsigned MOD_SHIFT = 0x0004;
constexpr unsigned MOD_WIN = 0x0008;
constexpr unsigned MOD_ALL = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;

// Virtual-key codes the program names (the rest of the table uses plain numbers).
constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;
constexpr unsigned VK_NEXT = 0x22;
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_INSERT = 0x2D;
constexpr unsigned VK_DELETE = 0x2E;
constexpr unsigned VK_NUMPAD0 = 0x60;
constexpr unsigned VK_F1 = 0x70;
constexpr unsigned VK_F24 = 0x87;
constexpr unsigned VK_VOLUME_MUTE = 0xAD;
constexpr unsigned VK_VOLUME_DOWN = 0xAE;
constexpr unsigned VK_VOLUME_UP = 0xAF;
constexpr unsigned VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr unsigned VK_MEDIA_PREV_TRACK = 0xB1;
constexpr unsigned VK_MEDIA_STOP = 0xB2;
constexpr unsigned VK_MEDIA_PLAY_PAUSE = 0xB3;

// One key of the translation table.
struct VirtualKeyInfo
{
    unsigned virtualKey;
    unsigned long keySym; // the X11 key symbol a registration grabs
    bool extended;        // the key sits outside the main block (navigation cluster, media keys)
    const char* name;     // how people read it in a hot-key control
};

// Every virtual key that can be a hot key, in virtual-key order.
const std::vector<VirtualKeyInfo>& VirtualKeyTable();

// The key symbol for a virtual key; nothing when the key has no X11 counterpart.
std::optional<unsigned long> KeySymFromVirtualKey(unsigned virtualKey);
// Further key symbols that also stand for the virtual key when pressed (the
// keypad's Enter for Enter); registrations grab them too.
std::vector<unsigned long> ExtraKeySymsOfVirtualKey(unsigned virtualKey);

// A pressed key as a virtual key: the code and whether the key is an extended one.
struct VirtualKeyPress
{
    unsigned virtualKey = 0;
    bool extended = false;
};
// The virtual key a key symbol produces, shifted and keypad forms included
// (capital letters, the keypad's navigation keys without Num Lock).
std::optional<VirtualKeyPress> VirtualKeyFromKeySym(unsigned long keySym);

// The MOD_* bit of a modifier key (Shift, Ctrl, Alt, Meta, Super); 0 for others.
unsigned ModifierOfKeySym(unsigned long keySym);
// Whether the key symbol only changes other keys (modifiers, Caps Lock, Num Lock, level shifts).
bool IsModifierKeySym(unsigned long keySym);

// How a virtual key reads ("P", "Home", "F5", "Num 7"); "Key 0x92" for codes without a name.
std::string VirtualKeyName(unsigned virtualKey);

// Which X modifier bits the server uses for Alt, the Windows key and Num Lock.
struct XModifierLayout
{
    unsigned altMask = 0;
    unsigned superMask = 0;
    unsigned numLockMask = 0;
};

// The X modifier state a registration waits for; nothing when a modifier is
// asked for that the server has no bit for, or for bits outside MOD_ALL.
std::optional<unsigned> XModifierState(unsigned modifiers, const XModifierLayout& layout);
// The states in which the same combination is grabbed so that Caps Lock and
// Num Lock do not matter: the plain state first.
std::vector<unsigned> LockVariants(unsigned state, const XModifierLayout& layout);
// The modifier state of a key event reduced to the bits a registration compares.
unsigned SignificantXModifiers(unsigned eventState, const XModifierLayout& layout);

// The lParam of a hot-key message: modifiers in the low word, the virtual key in the high word.
constexpr std::intptr_t MakeHotKeyLParam(unsigned modifiers, unsigned virtualKey)
{
    return static_cast<std::intptr_t>(((virtualKey & 0xFFFFu) << 16) | (modifiers & 0xFFFFu));
}

} // namespace platform
