#include "frame/TrayIcon.h"

#include "core/Identifiers.h"
#include "frame/MainFrame.h"
#include "frame/StatusTexts.h"
#include "frame/TrayMenu.h"
#include "platform/Messages.h"
#include "res/Resources.h"

#include <wx/menu.h>

#include <memory>

// clang-format off
wxBEGIN_EVENT_TABLE(CTrayIcon, wxTaskBarIcon)
    EVT_TASKBAR_RIGHT_UP(CTrayIcon::OnRightUp)
    EVT_TASKBAR_LEFT_DCLICK(CTrayIcon::OnLeftDoubleClick)
    EVT_MENU(wxID_ANY, CTrayIcon::OnMenuCommand)
wxEND_EVENT_TABLE()
// clang-format on

namespace
{
wxIcon AppIcon()
{
    wxIcon icon;
    icon.CopyFromBitmap(res::AppIcon(32));
    return icon;
}
} // namespace

CTrayIcon::CTrayIcon(CMainFrame& frame)
    : m_rFrame(frame), m_strTip(TrayTooltip(wc::kAppTitle, wxString()))
{
}

bool CTrayIcon::Add()
{
    m_bAdded = wxTaskBarIcon::IsAvailable() && SetIcon(AppIcon(), m_strTip);
    return m_bAdded;
}

bool CTrayIcon::Remove()
{
    const bool removed = m_bAdded && RemoveIcon();
    m_bAdded = false;
    return removed;
}

void CTrayIcon::SetStatusText(const wxString& text)
{
    m_strTip = TrayTooltip(wc::kAppTitle, text);
    if (m_bAdded)
        SetIcon(AppIcon(), m_strTip);
}

void CTrayIcon::OnRightUp(wxTaskBarIconEvent& /*event*/)
{
    if (m_rFrame.IsShown())
        m_rFrame.Raise();
    // The menu is built anew each time: the person may have hidden items.
    std::unique_ptr<wxMenu> menu(BuildTrayMenu(LoadHiddenTrayCommands()));
    PopupMenu(menu.get());
}

void CTrayIcon::OnLeftDoubleClick(wxTaskBarIconEvent& /*event*/)
{
    m_rFrame.BringToFront();
}

void CTrayIcon::OnMenuCommand(wxCommandEvent& event)
{
    platform::SendCommand(&m_rFrame, event.GetId());
}
