#include "frame/TrayIcon.h"

#include "core/Identifiers.h"
#include "platform/Messages.h"

#include <wx/window.h>

// clang-format off
wxBEGIN_EVENT_TABLE(CTrayIcon, wxTaskBarIcon)
    EVT_TASKBAR_RIGHT_UP(CTrayIcon::OnRightUp)
    EVT_TASKBAR_LEFT_DCLICK(CTrayIcon::OnLeftDoubleClick)
    EVT_MENU(wxID_ANY, CTrayIcon::OnMenuCommand)
wxEND_EVENT_TABLE()
// clang-format on

CTrayIcon::CTrayIcon(wxWindow* mainWindow) : m_pMainWindow(mainWindow) {}

void CTrayIcon::OnRightUp(wxTaskBarIconEvent& /*event*/)
{
    platform::SendMessage(m_pMainWindow, wc::WM_TRAY_NOTIFY, kIconId, kRightButtonUp);
}

void CTrayIcon::OnLeftDoubleClick(wxTaskBarIconEvent& /*event*/)
{
    platform::SendMessage(m_pMainWindow, wc::WM_TRAY_NOTIFY, kIconId, kLeftDoubleClick);
}

void CTrayIcon::OnMenuCommand(wxCommandEvent& event)
{
    platform::SendCommand(m_pMainWindow, event.GetId());
}
