#pragma once
// The four rows of the hot-key settings page, one per hot-key action: the
// controls of the row on form 313 and the texts the page reports its
// failures with.

#include "radio/HotKeys.h"

#include <array>
#include <cstddef>

// The form of the page and the ids of its controls.
enum HotKeyPageControl : int
{
    IDD_RADIO_SETTINGS_FORM = 313,
    IDC_HOTKEY_PLAY = 1010,
    IDC_HOTKEY_PLAY_NEXT = 1011,
    IDC_HOTKEY_PLAY_PREV = 1012,
    IDC_HOTKEY_STOP = 1013,
    IDC_ASSIGN_PLAY = 1014,
    IDC_ASSIGN_PLAY_NEXT = 1015,
    IDC_ASSIGN_PLAY_PREV = 1016,
    IDC_ASSIGN_STOP = 1017,
    IDC_CLEAR_PLAY = 1018,
    IDC_CLEAR_PLAY_NEXT = 1019,
    IDC_CLEAR_PLAY_PREV = 1020,
    IDC_CLEAR_STOP = 1021,
};

// The name the form has among the program's resources.
inline constexpr const char* kRadioSettingsFormName = "IDD_RADIO_SETTINGS_FORM";

struct HotKeyPageAction
{
    HotKeyAction action;      // stem and hot-key id
    int hotKeyCtrlId;         // the control that shows the combination
    int assignButtonId;       // stores what the control shows
    int clearButtonId;        // empties the control, then stores that
    const char* loadFailure;  // registering the stored hot key failed
    const char* storeFailure; // storing the assigned hot key failed
};

// Positions of the rows, which follow the order of HotKeyActions().
enum HotKeyPageRow : std::size_t
{
    kRowPlay,
    kRowPlayNext,
    kRowPlayPrev,
    kRowStop,
};

// The rows in the order of HotKeyActions(): Play, Play Next, Play Prev, Stop.
const std::array<HotKeyPageAction, 4>& HotKeyPageActions();
