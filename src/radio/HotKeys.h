#pragma once
// The four system-wide hot keys of the radio page: how each is stored, how it
// is registered on a window, and which playback command it stands for.
//
// Each action keeps two values in [Settings]: "<stem> Key" with the
// virtual-key code (0 = no hot key) and "<stem> Mod" with the modifiers in the
// registration layout (1 Alt, 2 Ctrl, 4 Shift) plus 8 for the hot-key
// control's extended-key flag. Both are 16-bit numbers. The hot-key control
// uses another layout (1 Shift, 2 Ctrl, 4 Alt, 8 extended), so values are
// translated on their way in and out of it.

#include <array>
#include <cstdint>

class wxEvtHandler;
class wxString;
class wxWindow;

struct HotKeyAction
{
    const char* stem; // value-name stem, also the action's name
    int id;           // hot-key id on the window that registers it
    int command;      // command posted to the radio view when the key is pressed
};

constexpr int HOTKEY_ID_PLAY = 1;
constexpr int HOTKEY_ID_PLAY_NEXT = 2;
constexpr int HOTKEY_ID_PLAY_PREV = 3;
constexpr int HOTKEY_ID_STOP = 4;

// The actions in their fixed order: Play, Play Next, Play Prev, Stop.
const std::array<HotKeyAction, 4>& HotKeyActions();

// "<stem> Key" and "<stem> Mod".
wxString HotKeyKeyValueName(const wxString& stem);
wxString HotKeyModValueName(const wxString& stem);

// Between the hot-key control's flags and the stored modifiers; the same in
// both directions: Ctrl and the extended flag stay, Shift and Alt change
// places, every other bit is dropped.
std::uint16_t TranslateHotKeyFlags(std::uint16_t flags);
inline std::uint16_t StoredFlagsFromControlFlags(std::uint16_t controlFlags)
{
    return TranslateHotKeyFlags(controlFlags);
}
inline std::uint16_t ControlFlagsFromStoredFlags(std::uint16_t storedFlags)
{
    return TranslateHotKeyFlags(storedFlags);
}
// The modifiers a registration gets: the stored ones without the extended flag.
unsigned RegistrationModifiers(std::uint16_t storedFlags);

// Reads the stored hot key of an action; always true.
bool LoadHotKey(const wxString& stem, std::uint16_t& key, std::uint16_t& controlFlags,
                std::uint16_t& storedFlags);
// Stores a key and the control's flags; false when a value could not be
// written (a failed key write leaves the modifiers untouched).
bool StoreHotKey(const wxString& stem, std::uint16_t key, std::uint16_t controlFlags);
// Registers the action's stored hot key on the window in place of its old
// one; an action without a key is only unregistered. Failures are silent.
void RegisterStoredHotKey(const wxString& stem, int id, wxWindow* window);
// RegisterStoredHotKey for the four actions in their order.
void RegisterAllHotKeys(wxWindow* window);
// Releases the ids 1 to 4 on the window, in this order.
void UnregisterAllHotKeys(wxWindow* window);

// The command a hot-key id stands for; 0 for an id that is no action's.
int HotKeyCommand(int id);
// Posts the command of the hot-key id to the view; false (nothing posted) for other ids.
bool PostHotKeyCommand(wxEvtHandler* view, int id);
