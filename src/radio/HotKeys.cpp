#include "radio/HotKeys.h"

#include "core/Identifiers.h"
#include "core/Settings.h"
#include "platform/HotKeys.h"
#include "platform/Messages.h"
#include "radio/HotKeyCtrl.h"

#include <wx/string.h>

namespace
{
// A stored value as the 16-bit number it is meant to be.
std::uint16_t ReadWord(const wxString& name)
{
    return static_cast<std::uint16_t>(GetSettingInt(name, 0) & 0xFFFF);
}

bool WriteWord(const wxString& name, std::uint16_t value)
{
    return WriteSettingIntChecked(name, static_cast<int>(value));
}
} // namespace

const std::array<HotKeyAction, 4>& HotKeyActions()
{
    static const std::array<HotKeyAction, 4> actions = {{
        {"Play", HOTKEY_ID_PLAY, wc::ID_PLAY},
        {"Play Next", HOTKEY_ID_PLAY_NEXT, wc::ID_PLAY_NEXT},
        {"Play Prev", HOTKEY_ID_PLAY_PREV, wc::ID_PLAY_PREVIOUS},
        {"Stop", HOTKEY_ID_STOP, wc::ID_STOP},
    }};
    return actions;
}

wxString HotKeyKeyValueName(const wxString& stem)
{
    return wxString::Format("%s Key", stem);
}

wxString HotKeyModValueName(const wxString& stem)
{
    return wxString::Format("%s Mod", stem);
}

std::uint16_t TranslateHotKeyFlags(std::uint16_t flags)
{
    // Bit 1 and bit 4 trade places; bit 2 (Ctrl) and bit 8 (extended) stay.
    const unsigned swapped = ((flags & 0x1u) << 2) | ((flags & 0x4u) >> 2);
    return static_cast<std::uint16_t>(swapped | (flags & 0x2u) | (flags & 0x8u));
}

unsigned RegistrationModifiers(std::uint16_t storedFlags)
{
    return storedFlags & ~static_cast<unsigned>(HOTKEYF_EXT);
}

bool LoadHotKey(const wxString& stem, std::uint16_t& key, std::uint16_t& controlFlags,
                std::uint16_t& storedFlags)
{
    key = ReadWord(HotKeyKeyValueName(stem));
    storedFlags = ReadWord(HotKeyModValueName(stem));
    controlFlags = ControlFlagsFromStoredFlags(storedFlags);
    return true;
}

bool StoreHotKey(const wxString& stem, std::uint16_t key, std::uint16_t controlFlags)
{
    if (!WriteWord(HotKeyKeyValueName(stem), key))
        return false;
    return WriteWord(HotKeyModValueName(stem), StoredFlagsFromControlFlags(controlFlags));
}

void RegisterStoredHotKey(const wxString& stem, int id, wxWindow* window)
{
    std::uint16_t key = 0;
    std::uint16_t controlFlags = 0;
    std::uint16_t storedFlags = 0;
    LoadHotKey(stem, key, controlFlags, storedFlags);
    platform::UnregisterHotKey(window, id);
    if (key != 0)
        platform::RegisterHotKey(window, id, RegistrationModifiers(storedFlags), key);
}

void RegisterAllHotKeys(wxWindow* window)
{
    for (const HotKeyAction& action : HotKeyActions())
        RegisterStoredHotKey(action.stem, action.id, window);
}

void UnregisterAllHotKeys(wxWindow* window)
{
    for (const HotKeyAction& action : HotKeyActions())
        platform::UnregisterHotKey(window, action.id);
}

int HotKeyCommand(int id)
{
    for (const HotKeyAction& action : HotKeyActions())
    {
        if (action.id == id)
            return action.command;
    }
    return 0;
}

bool PostHotKeyCommand(wxEvtHandler* view, int id)
{
    const int command = HotKeyCommand(id);
    if (command == 0)
        return false;
    platform::PostCommand(view, command);
    return true;
}
