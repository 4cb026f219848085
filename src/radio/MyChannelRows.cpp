#include "radio/MyChannelRows.h"

#include "catalogue/ChannelRecord.h"
#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "core/SettingsTable.h"
#include "core/StreamAddress.h"
#include "platform/ModalDialogs.h"
#include "radio/ChannelDlg.h"
#include "radio/ChannelListCtrl.h"

#include <wx/menu.h>

#include <algorithm>
#include <cstdint>

namespace
{
constexpr int kEditChannelId = 1007;
}

CMyChannelRows::CMyChannelRows(wxWindow* pDialogParent, CChannelListCtrl& list)
    : m_pDialogParent(pDialogParent), m_list(list)
{
    m_list.Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, &CMyChannelRows::OnRightClick, this);
    m_list.Bind(wxEVT_CONTEXT_MENU, &CMyChannelRows::OnMenuKey, this);
    m_list.Bind(wxEVT_MENU, &CMyChannelRows::OnEdit, this, kEditChannelId);
    m_list.Bind(wxEVT_MENU, &CMyChannelRows::OnRemove, this, kRemoveChannelId);
}

void CMyChannelRows::Detach()
{
    // The list may outlive the page by a moment.
    m_list.Unbind(wxEVT_LIST_ITEM_RIGHT_CLICK, &CMyChannelRows::OnRightClick, this);
    m_list.Unbind(wxEVT_CONTEXT_MENU, &CMyChannelRows::OnMenuKey, this);
    m_list.Unbind(wxEVT_MENU, &CMyChannelRows::OnEdit, this, kEditChannelId);
    m_list.Unbind(wxEVT_MENU, &CMyChannelRows::OnRemove, this, kRemoveChannelId);
}

void CMyChannelRows::OnEdit(wxCommandEvent& /*event*/)
{
    EditByDialog(TakeRow());
}

void CMyChannelRows::OnRemove(wxCommandEvent& /*event*/)
{
    Remove(TakeRow());
}

void CMyChannelRows::OnRightClick(wxListEvent& event)
{
    // The menu acts on the row clicked, which need not be the one playing.
    ShowMenu(static_cast<int>(event.GetIndex()), wxDefaultPosition);
}

void CMyChannelRows::OnMenuKey(wxContextMenuEvent& event)
{
    // The Menu key or Shift+F10, which give no place (a click on a row
    // comes as OnRightClick): the menu of the selected row, else of the
    // focused one, below it.
    int row = -1;
    if (event.GetPosition() == wxDefaultPosition)
    {
        row = m_list.GetSelectedRow();
        if (row < 0)
            row = static_cast<int>(m_list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
    }
    if (row < 0)
    {
        event.Skip();
        return;
    }
    wxRect rect;
    m_list.GetItemRect(row, rect);
    ShowMenu(row, rect.GetBottomLeft());
}

void CMyChannelRows::ShowMenu(int row, const wxPoint& position)
{
    m_nContextRow = row;
    const bool own = m_list.GetOwnChannelIndex(m_nContextRow) >= 0;
    wxMenu menu;
    menu.Append(wc::ID_PLAY, "&Play");
    menu.AppendSeparator();
    menu.Append(wc::ID_ADD_CHANNEL, "&Add Channel...");
    menu.Append(kEditChannelId, "&Edit Channel...")->Enable(own);
    menu.Append(kRemoveChannelId, "&Remove Channel\tDel")->Enable(own);
    m_list.PopupMenu(&menu, position);
    CallAfter([this] { m_nContextRow = -1; });
}

int CMyChannelRows::TakeRow()
{
    const int row = m_nContextRow >= 0 ? m_nContextRow : m_list.GetSelectedRow();
    m_nContextRow = -1;
    return row;
}

void CMyChannelRows::Load()
{
    m_channels.Load();
    const CChannelRecord& header = m_channels.Header();
    m_list.SetUpColumns(
        {header.GetName(), header.GetField5(), header.GetField4(), header.GetUrl()});
    Show();
}

void CMyChannelRows::Show()
{
    // The same filters as the station list's rows.
    const bool showNonWorking = GetSetting(setting::DisplayNonWorkingChannels) != 0;
    const bool showRadio = !g_pCachedSettings || g_pCachedSettings->DisplayRadioChannels() != 0;
    const bool showTV = !g_pCachedSettings || g_pCachedSettings->DisplayTVChannels() != 0;
    std::vector<std::uint32_t> rows;
    std::uint32_t position = 0;
    for (const CChannelRecord& channel : m_channels.Channels())
    {
        const std::string_view type = channel.FieldUtf8(CChannelRecord::kType);
        const bool shownType = EqualsNoCase(type, "TV") ? showTV : showRadio;
        const bool working =
            channel.FieldUtf8(CChannelRecord::kStatus).find("OFF") == std::string_view::npos;
        if (shownType && (showNonWorking || working))
            rows.push_back(position);
        ++position;
    }
    m_list.ShowOwnChannels(m_channels.Channels(), std::move(rows));
}

bool CMyChannelRows::Changed()
{
    Show();
    return m_channels.Save();
}

void CMyChannelRows::SaveOrReport()
{
    if (!Changed())
        platform::MessageBox("My channels could not be saved in " + m_channels.Path() + ".",
                             wc::kAppTitle, wxOK | wxICON_ERROR);
}

int CMyChannelRows::RowOf(int own) const
{
    for (int row = m_list.GetRowCount() - 1; own >= 0 && row >= 0; --row)
        if (m_list.GetOwnChannelIndex(row) == own)
            return row;
    return -1;
}

int CMyChannelRows::Add(const std::vector<CChannelRecord>& channels)
{
    if (channels.empty())
        return -1;
    for (const CChannelRecord& channel : channels)
        m_channels.Add(channel);
    SaveOrReport();
    return RowOf(m_channels.Find(ToUtf8(channels.front().GetUrl())));
}

int CMyChannelRows::AddByDialog()
{
    CChannelDlg dialog(m_pDialogParent, "Add Channel", CChannelRecord());
    if (platform::RunModal(dialog) != wxID_OK)
        return -1;
    const CChannelRecord channel = dialog.GetChannel();
    if (!IsNetworkStreamAddress(ToUtf8(channel.GetUrl())))
        return -1; // the dialog checks the address before it ends with OK
    if (!m_channels.Add(channel))
    {
        platform::MessageBox("A channel with the address " + channel.GetUrl() +
                                 " is already in My channels.",
                             wc::kAppTitle, wxOK | wxICON_INFORMATION);
        return -1;
    }
    SaveOrReport();
    return RowOf(m_channels.GetCount() - 1);
}

void CMyChannelRows::EditByDialog(int row)
{
    const int own = m_list.GetOwnChannelIndex(row);
    if (own < 0)
        return; // the station list's rows are not the person's to change
    CChannelDlg dialog(m_pDialogParent, "Edit Channel", m_channels.GetAt(own));
    if (platform::RunModal(dialog) != wxID_OK)
        return;
    if (!IsNetworkStreamAddress(ToUtf8(dialog.GetChannel().GetUrl())))
        return; // the dialog checks the address before it ends with OK
    if (!m_channels.Replace(own, dialog.GetChannel()))
    {
        platform::MessageBox("Another channel of My channels has the address " +
                                 dialog.GetChannel().GetUrl() + ".",
                             wc::kAppTitle, wxOK | wxICON_INFORMATION);
        return;
    }
    SaveOrReport();
}

void CMyChannelRows::Remove(int row)
{
    const int own = m_list.GetOwnChannelIndex(row);
    if (own < 0)
        return;
    if (platform::MessageBox("Remove \"" + m_channels.GetAt(own).GetName() + "\" from My channels?",
                             wc::kAppTitle, wxYES_NO | wxICON_QUESTION) != wxYES)
        return;
    m_channels.Remove(own);
    SaveOrReport();
    if (m_list.GetRowCount() > 0)
    {
        const int next = std::min(row, m_list.GetRowCount() - 1);
        m_list.SetItemState(next, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    }
}
