#pragma once
// The icon in the notification area. Mouse actions on it reach the main
// window as the tray callback message (WM_USER+2 with the mouse message),
// and the commands of its menu reach the main window like any other command.

#include <wx/taskbar.h>

class CTrayIcon : public wxTaskBarIcon
{
public:
    static constexpr int kIconId = 90;
    static constexpr int kRightButtonUp = 0x0205;
    static constexpr int kLeftDoubleClick = 0x0203;

    explicit CTrayIcon(wxWindow* mainWindow);

private:
    void OnRightUp(wxTaskBarIconEvent& event);
    void OnLeftDoubleClick(wxTaskBarIconEvent& event);
    void OnMenuCommand(wxCommandEvent& event);

    wxWindow* m_pMainWindow;

    wxDECLARE_EVENT_TABLE();
};
