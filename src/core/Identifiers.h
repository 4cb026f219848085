#pragma once
// Fixed numbers of the program: private window messages, command
// identifiers and resource identifiers, and the program's fixed texts.

#include "platform/Messages.h"

namespace wc
{

inline constexpr const char* kAppTitle = "Wavecrest by Tolvane";
inline constexpr const char* kCompanyKey = "tolvane.example";
inline constexpr const char* kSupportEmail = "support@tolvane.example";
inline constexpr const char* kPromoSite = "https://www.tolvane.example/";
inline constexpr const char* kStoreSite = "https://store.tolvane.example/";

// Private window messages. The numbers marked reserved are sent by nothing
// any more and are kept so that no other message takes them.
enum Message : int
{
    WM_UPDATE_STATUS_PANES = platform::WM_USER + 1,
    WM_TRAY_NOTIFY = platform::WM_USER + 2, // reserved: the tray icon acts on its clicks itself
    WM_OPEN_CATEGORY = platform::WM_USER + 3,
    // Reserved: a later start's number reaches this instance as the text
    // "number N" over the single-instance channel and asks nothing of it.
    WM_OTHER_INSTANCE_NUMBER = platform::WM_USER + 4,
    WM_NEXT_APPLICATION_LOOK = platform::WM_USER + 5,
    WM_RELOAD_PROMO = platform::WM_USER + 6,
    WM_RELOAD_STORE = platform::WM_USER + 7,
    WM_RELOAD_CHANNELS = platform::WM_USER + 8,
    WM_OPEN_TEMPLATE_PAGE =
        platform::WM_USER + 9, // reserved: the frame opens the page by CallAfter
};

// Command identifiers.
enum Command : int
{
    ID_WINDOW_MANAGER = 131,
    ID_VIEW_APPLOOK_WIN_2000 = 210,
    ID_VIEW_APPLOOK_OFF_XP = 211,
    ID_VIEW_APPLOOK_WIN_XP = 212,
    ID_VIEW_APPLOOK_OFF_2003 = 213,
    ID_VIEW_APPLOOK_VS_2005 = 214,
    ID_VIEW_APPLOOK_OFF_2007_BLUE = 215,
    ID_VIEW_APPLOOK_OFF_2007_BLACK = 216,
    ID_VIEW_APPLOOK_OFF_2007_SILVER = 217,
    ID_VIEW_APPLOOK_OFF_2007_AQUA = 218,
    ID_REFRESH_CHANNELS = 310,
    ID_PROMO_OPEN_IN_BROWSER = 311,
    ID_PROMO_REFRESH = 312,
    ID_STORE_OPEN_IN_BROWSER = 315,
    ID_STORE_REFRESH = 316,
    ID_STOP = 317,
    ID_PLAY = 319,
    ID_PLAY_NEXT = 320,
    ID_PLAY_PREVIOUS = 321,
    ID_AUTO_START = 322,
    ID_AUTO_PLAY = 323,
    ID_HIDE_TO_TRAY = 324,
    ID_DISPLAY_RADIO = 325,
    ID_DISPLAY_TV = 326,
    ID_ADD_CHANNEL = 340,
    ID_ADD_TO_MY_CHANNELS = 341,
    ID_TRAY_SHOW = 32773,
    ID_TRAY_EXIT = 32774,
    ID_TRAY_PLAY_PREVIOUS = 32784,
    ID_TRAY_PLAY_NEXT = 32785,
    ID_TRAY_CUSTOMIZE_MENU = 32787,
    ID_TRAY_STOP = 32789,
    ID_TRAY_PLAY = 32791,
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_APP_ABOUT = 57664,
};

// Resource identifiers.
enum Resource : int
{
    IDD_ABOUTBOX = 100,
    IDR_MAINFRAME = 128,
    IDR_WAVECREST_TYPE = 130,
    IDR_PROMO_TYPE = 131,
    IDR_HARDWARE_TYPE = 133,
};

} // namespace wc
