#pragma once
// The icon in the notification area and what it does: a right click opens
// the tray menu, a double click brings the main window back, and its tooltip
// tells what the player is doing. The menu's commands reach the main window
// like any other command.

#include <wx/string.h>
#include <wx/taskbar.h>

class CMainFrame;

class CTrayIcon : public wxTaskBarIcon
{
public:
    explicit CTrayIcon(CMainFrame& frame);

    // Puts the icon into the notification area; false when there is none.
    bool Add();
    // Takes the icon out of the notification area.
    bool Remove();
    bool IsAdded() const { return m_bAdded; }

    // The tooltip: the program's title, and below it the text when there is one.
    void SetStatusText(const wxString& text);
    const wxString& GetTip() const { return m_strTip; }

private:
    void OnRightUp(wxTaskBarIconEvent& event);
    void OnLeftDoubleClick(wxTaskBarIconEvent& event);
    void OnMenuCommand(wxCommandEvent& event);

    CMainFrame& m_rFrame;
    wxString m_strTip;
    bool m_bAdded = false;

    wxDECLARE_EVENT_TABLE();
};
