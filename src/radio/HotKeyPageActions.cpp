#include "radio/HotKeyPageActions.h"

const std::array<HotKeyPageAction, 4>& HotKeyPageActions()
{
    // Stems and hot-key ids come from the one table of actions.
    static const std::array<HotKeyPageAction, 4> rows = {{
        {HotKeyActions()[kRowPlay], IDC_HOTKEY_PLAY, IDC_ASSIGN_PLAY, IDC_CLEAR_PLAY,
         "Failed to Load HotKey for Playing Channel.", "Failed to Store HotKey to Play Channel."},
        {HotKeyActions()[kRowPlayNext], IDC_HOTKEY_PLAY_NEXT, IDC_ASSIGN_PLAY_NEXT,
         IDC_CLEAR_PLAY_NEXT, "Failed to Load HotKey for Playing Next Channel.",
         "Failed to Store HotKey to Play Next Channel."},
        {HotKeyActions()[kRowPlayPrev], IDC_HOTKEY_PLAY_PREV, IDC_ASSIGN_PLAY_PREV,
         IDC_CLEAR_PLAY_PREV, "Failed to Load HotKey for Playing Previous Channel.",
         "Failed to Store HotKey to Play Previous Channel."},
        {HotKeyActions()[kRowStop], IDC_HOTKEY_STOP, IDC_ASSIGN_STOP, IDC_CLEAR_STOP,
         "Failed to Load HotKey to Stop Playing Channel.",
         "Failed to Store HotKey to Stop Playing."},
    }};
    return rows;
}
