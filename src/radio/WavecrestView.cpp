#include "radio/WavecrestView.h"

#include "catalogue/StationList.h"
#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "core/StreamAddress.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "platform/HotKeys.h"
#include "platform/ModalDialogs.h"
#include "player/WMPPlayer4.h"
#include "playlists/MyChannels.h"
#include "radio/ChannelDlg.h"
#include "radio/ChannelListCtrl.h"
#include "radio/HotKeys.h"
#include "res/Resources.h"

#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

wxIMPLEMENT_DYNAMIC_CLASS(CWavecrestView, CPageView);

namespace
{
constexpr int kPlayerId = 1003;
constexpr int kListId = 1002;
constexpr int kNonWorkingBoxId = 1005;
constexpr int kFindBoxId = 1006;
constexpr int kEditChannelId = 1007;
constexpr int kRemoveChannelId = 1008;
constexpr int kKeyF8 = WXK_F8;
constexpr int kKeyF9 = WXK_F9;
constexpr int kReloadTimerId = 1;
// A reload reads for this long at a time, then leaves the window this pause
// to paint and answer before it reads on.
constexpr std::chrono::milliseconds kReloadSlice{50};
constexpr int kReloadPauseMs = 10;

// "500,000" for 500000.
wxString WithThousands(long number)
{
    wxString digits = wxString::Format("%ld", number);
    for (int at = static_cast<int>(digits.length()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}
} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CWavecrestView, CPageView)
    EVT_CHECKBOX(kNonWorkingBoxId, CWavecrestView::OnDisplayNonWorkingChannels)
    EVT_LIST_KEY_DOWN(kListId, CWavecrestView::OnListKeyDown)
    EVT_LIST_ITEM_SELECTED(kListId, CWavecrestView::OnListItemChanged)
    EVT_LIST_ITEM_RIGHT_CLICK(kListId, CWavecrestView::OnListContextMenu)
    EVT_LIST_ITEM_ACTIVATED(kListId, CWavecrestView::OnListItemActivated)
    EVT_MENU(wc::ID_ADD_CHANNEL, CWavecrestView::OnAddChannel)
    EVT_MENU(kEditChannelId, CWavecrestView::OnEditChannel)
    EVT_MENU(kRemoveChannelId, CWavecrestView::OnRemoveChannel)
    EVT_TEXT(kFindBoxId, CWavecrestView::OnFindText)
    EVT_TEXT_ENTER(kFindBoxId, CWavecrestView::OnFindEnter)
    EVT_MENU(wc::ID_DISPLAY_RADIO, CWavecrestView::OnDisplayRadioChannels)
    EVT_MENU(wc::ID_DISPLAY_TV, CWavecrestView::OnDisplayTvChannels)
    EVT_UPDATE_UI(wc::ID_DISPLAY_RADIO, CWavecrestView::OnUpdateDisplayRadioChannels)
    EVT_UPDATE_UI(wc::ID_DISPLAY_TV, CWavecrestView::OnUpdateDisplayTvChannels)
    EVT_APP_MESSAGE(wc::WM_RELOAD_CHANNELS, CWavecrestView::OnReloadChannels)
    EVT_COMMAND(wxID_ANY, EVT_PLAY_REQUEST_WAITING, CWavecrestView::OnTakePlayRequests)
    EVT_TIMER(kReloadTimerId, CWavecrestView::OnReloadTimer)
    EVT_MENU(wc::ID_PLAY, CWavecrestView::OnPlay)
    EVT_MENU(wc::ID_TRAY_PLAY, CWavecrestView::OnPlay)
    EVT_MENU(wc::ID_STOP, CWavecrestView::OnStop)
    EVT_MENU(wc::ID_TRAY_STOP, CWavecrestView::OnStop)
    EVT_MENU(wc::ID_PLAY_NEXT, CWavecrestView::OnNextChannel)
    EVT_MENU(wc::ID_TRAY_PLAY_NEXT, CWavecrestView::OnNextChannel)
    EVT_MENU(wc::ID_PLAY_PREVIOUS, CWavecrestView::OnPreviousChannel)
    EVT_MENU(wc::ID_TRAY_PLAY_PREVIOUS, CWavecrestView::OnPreviousChannel)
    EVT_PLAYER_STATUS_CHANGE(kPlayerId, CWavecrestView::OnStatusChange)
    EVT_PLAYER_PLAY_STATE_CHANGE(kPlayerId, CWavecrestView::OnPlayStateChange)
    EVT_PLAYER_VOLUME_CHANGE(kPlayerId, CWavecrestView::OnVolumeChange)
    EVT_APP_MESSAGE(platform::WM_HOTKEY, CWavecrestView::OnHotKey)
wxEND_EVENT_TABLE()
// clang-format on

// ---- The page ------------------------------------------------------------

CWavecrestView::CWavecrestView()
    : m_pMyChannels(std::make_unique<CMyChannels>()), m_reloadTimer(this, kReloadTimerId)
{
}

CWavecrestView::~CWavecrestView() = default;

void CWavecrestView::CreateContent(CChildFrame* frame)
{
    m_bDisplayNonWorking = GetSetting(setting::DisplayNonWorkingChannels) != 0;

    res::LoadXrcResources();
    wxPanel* form = wxXmlResource::Get()->LoadPanel(frame, "IDD_WAVECREST_FORM");
    // The player is made inside the form's placeholder, never moved there
    // afterwards: its picture area keeps the window it was made with.
    wxWindow* holder = form->FindWindow("IDC_PLAYER_container");
    m_player = new CWMPPlayer4(holder ? holder : form, kPlayerId);
    m_player->SetId(kPlayerId); // the placeholder gives it its own id
    m_listChannels = XRCCTRL(*form, "IDC_CHANNELS", CChannelListCtrl);
    m_listChannels->SetId(kListId);
    m_listChannels->Bind(wxEVT_CONTEXT_MENU, &CWavecrestView::OnListContextMenuKey, this);
    m_pNonWorkingBox = XRCCTRL(*form, "IDC_DISPLAY_NON_WORKING", wxCheckBox);
    m_pNonWorkingBox->SetId(kNonWorkingBoxId);
    m_pNonWorkingBox->SetValue(m_bDisplayNonWorking);
    m_pFindBox = XRCCTRL(*form, "IDC_FIND", wxTextCtrl);
    m_pFindBox->SetId(kFindBoxId);
    m_pFindBox->Bind(wxEVT_KEY_DOWN, &CWavecrestView::OnFindKeyDown, this);
    frame->Bind(wxEVT_CHAR_HOOK, &CWavecrestView::OnPageCharHook, this);

    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(form, wxSizerFlags(1).Expand());
    frame->SetSizer(layout);
}

void CWavecrestView::OnInitialUpdate()
{
    wxBusyCursor wait;
    CMainFrame* mainFrame = GetMainFrame();
    if (!mainFrame)
        return;
    // The four system-wide hot keys act while the radio page is open.
    RegisterAllHotKeys(GetChildFrame());
    mainFrame->PlacePage(this, setting::RadioPageFitted.name);
    platform::PostMessage(mainFrame, wc::WM_UPDATE_STATUS_PANES);
    // The list is the page's main control: F8 and F9 work from the start.
    m_listChannels->SetFocus();
    // My channels are there from the start, whatever the download brings.
    m_pMyChannels->Load();
    m_listChannels->SetUpColumns(
        {m_pMyChannels->Header().GetName(), m_pMyChannels->Header().GetField5(),
         m_pMyChannels->Header().GetField4(), m_pMyChannels->Header().GetUrl()});
    ShowMyChannelRows();

    // What was asked for while the page was closed plays in place of
    // auto-play's choice. One of My channels played last is in the list
    // before any download: auto-play plays it at once, also when the
    // station list cannot be had.
    if (!TakePlayRequests() && GetSetting(setting::AutoPlay) == 1)
    {
        const std::string address = GetSettingText(setting::LastChannelAddress);
        if (!address.empty())
            SelectRow(m_listChannels->FindListIndex(address));
    }
    PublishMediaState(); // the media controls can act from now on
    // The list is filled by the reload that follows a successful download.
    platform::PostCommand(mainFrame, wc::ID_REFRESH_CHANNELS);
}

// ---- The list --------------------------------------------------------------

void CWavecrestView::OnReloadChannels(platform::CAppMessageEvent& /*event*/)
{
    ReloadChannelList();
}

void CWavecrestView::ReloadChannelList()
{
    StopReload();
    // The settings as they are when the reload starts hold for all of it.
    ChannelFilters filters;
    if (g_pCachedSettings)
    {
        filters.showRadio = g_pCachedSettings->DisplayRadioChannels() != 0;
        filters.showTV = g_pCachedSettings->DisplayTVChannels() != 0;
    }
    auto stationList = std::make_unique<CStationList>(filters);
    // Without a file (the load uses it up) the list keeps what it shows.
    if (!stationList->BeginLoad())
        return;
    m_pLoading = std::move(stationList);
    m_pBusyCursor = std::make_unique<wxBusyCursor>();
    ContinueReload();
}

void CWavecrestView::OnReloadTimer(wxTimerEvent& /*event*/)
{
    if (m_pLoading)
        ContinueReload();
}

void CWavecrestView::ContinueReload()
{
    if (!m_pLoading->ContinueLoad(kReloadSlice))
    {
        // Once, not every so often: the pause comes after the slice, however
        // long the slice took.
        m_reloadTimer.StartOnce(kReloadPauseMs);
        return;
    }
    const std::unique_ptr<CStationList> stationList = std::move(m_pLoading);
    FillList(*stationList);
    m_pBusyCursor.reset();
    // The channels read before memory ran out are listed all the same.
    if (stationList->RanOutOfMemory())
        platform::MessageBox(kOutOfMemoryText, wc::kAppTitle, wxOK | wxICON_ERROR);
    const wxString note = stationList->IsTruncated()
                              ? "Only the first " + WithThousands(CStationList::kMaxChannels) +
                                    " channels are listed; the rest were left out."
                              : wxString();
    if (note != m_strListNote)
    {
        m_strListNote = note;
        ShowStatusText();
    }
    if (GetSetting(setting::AutoPlay) == 1 && !m_bPlayingHandedStation)
        SelectLastPlayed();
}

void CWavecrestView::SelectLastPlayed()
{
    const int index = LastPlayedListIndex();
    const int row = index >= 0 && index < m_listChannels->GetListCount()
                        ? m_listChannels->GetRowOfListIndex(index)
                        : -1;
    // The channel plays already (auto-play chose one of My channels before
    // the station list came): its row is selected again, and it plays on.
    if (row >= 0 && PlaysNow(m_chosenChannel.strAddress) &&
        m_listChannels->GetItemText(row, CChannelListCtrl::kAddressColumn) ==
            m_chosenChannel.strAddress)
    {
        m_listChannels->SelectAgain(row);
        m_chosenChannel.nRow = row;
        WriteSettingInt(setting::LastChannelIndex.name, index);
        return;
    }
    SelectRow(index);
}

int CWavecrestView::LastPlayedListIndex() const
{
    // The index counts the station list's rows first: one of My channels
    // moves with them (after a start whose download failed, say), and is
    // then found by its address.
    const int index = GetSetting(setting::LastChannelIndex);
    const std::string address = GetSettingText(setting::LastChannelAddress);
    if (address.empty())
        return index;
    const int row = m_listChannels->GetRowOfListIndex(index);
    const CChannelRecord* channel = m_listChannels->GetChannel(row);
    if (row >= 0 && channel && channel->FieldUtf8(CChannelRecord::kUrl) == address)
        return index;
    const int found = m_listChannels->FindListIndex(address, index);
    return found >= 0 ? found : index;
}

void CWavecrestView::StopReload()
{
    m_reloadTimer.Stop();
    m_pLoading.reset(); // closes the file, and deletes it unless a newer one took its place
    m_pBusyCursor.reset();
}

void CWavecrestView::FillList(CStationList& stationList)
{
    m_listChannels->RemoveRowsAndColumns();
    SetUpColumns(stationList);
    FillRows(stationList);
    ShowMyChannelRows();
}

void CWavecrestView::SetUpColumns(const CStationList& stationList)
{
    const CChannelRecord& header = stationList.m_header;
    m_listChannels->SetUpColumns(
        {header.GetName(), header.GetField5(), header.GetField4(), header.GetUrl()});
}

void CWavecrestView::FillRows(CStationList& stationList)
{
    const bool showNonWorking = GetSetting(setting::DisplayNonWorkingChannels) != 0;
    std::vector<std::uint32_t> rows;
    rows.reserve(static_cast<std::size_t>(stationList.m_channels.GetCount()));
    std::uint32_t position = 0;
    for (const CChannelRecord& channel : stationList.m_channels)
    {
        const std::string_view status = channel.FieldUtf8(CChannelRecord::kStatus);
        if (showNonWorking || status.find("OFF") == std::string_view::npos)
            rows.push_back(position);
        ++position;
    }
    m_listChannels->ShowChannels(std::move(stationList.m_channels), std::move(rows));
}

void CWavecrestView::SelectRow(int index)
{
    if (index < 0 || index >= m_listChannels->GetListCount())
        return;
    if (m_listChannels->GetRowOfListIndex(index) < 0)
        m_pFindBox->SetValue(wxString()); // shows every row again
    m_listChannels->SelectAndFocus(m_listChannels->GetRowOfListIndex(index));
}

// ---- My channels -------------------------------------------------------------

void CWavecrestView::ShowMyChannelRows()
{
    // The same filters as the station list's rows.
    const bool showNonWorking = GetSetting(setting::DisplayNonWorkingChannels) != 0;
    const bool showRadio = !g_pCachedSettings || g_pCachedSettings->DisplayRadioChannels() != 0;
    const bool showTV = !g_pCachedSettings || g_pCachedSettings->DisplayTVChannels() != 0;
    std::vector<std::uint32_t> rows;
    std::uint32_t position = 0;
    for (const CChannelRecord& channel : m_pMyChannels->Channels())
    {
        const std::string_view type = channel.FieldUtf8(CChannelRecord::kType);
        const bool shownType = EqualsNoCase(type, "TV") ? showTV : showRadio;
        const bool working =
            channel.FieldUtf8(CChannelRecord::kStatus).find("OFF") == std::string_view::npos;
        if (shownType && (showNonWorking || working))
            rows.push_back(position);
        ++position;
    }
    m_listChannels->ShowOwnChannels(m_pMyChannels->Channels(), std::move(rows));
}

bool CWavecrestView::MyChannelsChanged()
{
    ShowMyChannelRows();
    return m_pMyChannels->Save();
}

void CWavecrestView::AddChannelsAndPlayFirst(const std::vector<CChannelRecord>& channels)
{
    if (channels.empty())
        return;
    for (const CChannelRecord& channel : channels)
        m_pMyChannels->Add(channel);
    if (!MyChannelsChanged())
        platform::MessageBox("My channels could not be saved in " + m_pMyChannels->Path() + ".",
                             wc::kAppTitle, wxOK | wxICON_ERROR);
    // The first one plays, as its row when the list shows it.
    const CChannelRecord& first = channels.front();
    const int own = m_pMyChannels->Find(ToUtf8(first.GetUrl()));
    for (int row = m_listChannels->GetRowCount() - 1; own >= 0 && row >= 0; --row)
    {
        if (m_listChannels->GetOwnChannelIndex(row) != own)
            continue;
        if (m_listChannels->GetSelectedRow() == row)
            platform::PostCommand(this, wc::ID_PLAY);
        else
            m_listChannels->SelectAndFocus(row);
        return;
    }
    m_chosenChannel.nRow = -1;
    m_chosenChannel.strName = first.GetName();
    m_chosenChannel.strAddress = first.GetUrl();
    PlayUrl(m_chosenChannel.strAddress);
    PublishMediaState();
}

void CWavecrestView::SelectOwnChannel(int index)
{
    for (int row = m_listChannels->GetRowCount() - 1; row >= 0; --row)
    {
        if (m_listChannels->GetOwnChannelIndex(row) == index)
        {
            m_listChannels->SelectAndFocus(row);
            return;
        }
    }
}

void CWavecrestView::OnAddChannel(wxCommandEvent& /*event*/)
{
    CChannelDlg dialog(GetChildFrame(), "Add Channel", CChannelRecord());
    if (platform::RunModal(dialog) != wxID_OK)
        return;
    const CChannelRecord channel = dialog.GetChannel();
    if (!IsNetworkStreamAddress(ToUtf8(channel.GetUrl())))
        return; // the dialog checks the address before it ends with OK
    if (!m_pMyChannels->Add(channel))
    {
        platform::MessageBox("A channel with the address " + channel.GetUrl() +
                                 " is already in My channels.",
                             wc::kAppTitle, wxOK | wxICON_INFORMATION);
        return;
    }
    if (!MyChannelsChanged())
        platform::MessageBox("My channels could not be saved in " + m_pMyChannels->Path() + ".",
                             wc::kAppTitle, wxOK | wxICON_ERROR);
    SelectOwnChannel(m_pMyChannels->GetCount() - 1);
}

int CWavecrestView::TakeChannelRow()
{
    const int row = m_nContextRow >= 0 ? m_nContextRow : m_listChannels->GetSelectedRow();
    m_nContextRow = -1;
    return row;
}

void CWavecrestView::OnEditChannel(wxCommandEvent& /*event*/)
{
    const int own = m_listChannels->GetOwnChannelIndex(TakeChannelRow());
    if (own < 0)
        return; // the station list's rows are not the person's to change
    CChannelDlg dialog(GetChildFrame(), "Edit Channel", m_pMyChannels->GetAt(own));
    if (platform::RunModal(dialog) != wxID_OK)
        return;
    if (!IsNetworkStreamAddress(ToUtf8(dialog.GetChannel().GetUrl())))
        return; // the dialog checks the address before it ends with OK
    if (!m_pMyChannels->Replace(own, dialog.GetChannel()))
    {
        platform::MessageBox("Another channel of My channels has the address " +
                                 dialog.GetChannel().GetUrl() + ".",
                             wc::kAppTitle, wxOK | wxICON_INFORMATION);
        return;
    }
    if (!MyChannelsChanged())
        platform::MessageBox("My channels could not be saved in " + m_pMyChannels->Path() + ".",
                             wc::kAppTitle, wxOK | wxICON_ERROR);
}

void CWavecrestView::OnRemoveChannel(wxCommandEvent& /*event*/)
{
    const int row = TakeChannelRow();
    const int own = m_listChannels->GetOwnChannelIndex(row);
    if (own < 0)
        return;
    if (platform::MessageBox("Remove \"" + m_pMyChannels->GetAt(own).GetName() +
                                 "\" from My channels?",
                             wc::kAppTitle, wxYES_NO | wxICON_QUESTION) != wxYES)
        return;
    m_pMyChannels->Remove(own);
    if (!MyChannelsChanged())
        platform::MessageBox("My channels could not be saved in " + m_pMyChannels->Path() + ".",
                             wc::kAppTitle, wxOK | wxICON_ERROR);
    // The row that took its place is focused, not played.
    if (m_listChannels->GetRowCount() > 0)
    {
        const int next = std::min(row, m_listChannels->GetRowCount() - 1);
        m_listChannels->SetItemState(next, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    }
}

void CWavecrestView::OnListContextMenu(wxListEvent& event)
{
    // The menu acts on the row clicked, which need not be the one playing.
    ShowChannelMenu(static_cast<int>(event.GetIndex()), wxDefaultPosition);
}

void CWavecrestView::OnListContextMenuKey(wxContextMenuEvent& event)
{
    // The Menu key or Shift+F10, which give no place (a click on a row
    // comes as OnListContextMenu): the menu of the selected row, else of the
    // focused one, below it.
    int row = -1;
    if (event.GetPosition() == wxDefaultPosition)
    {
        row = m_listChannels->GetSelectedRow();
        if (row < 0)
            row = static_cast<int>(
                m_listChannels->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
    }
    if (row < 0)
    {
        event.Skip();
        return;
    }
    wxRect rect;
    m_listChannels->GetItemRect(row, rect);
    ShowChannelMenu(row, rect.GetBottomLeft());
}

void CWavecrestView::ShowChannelMenu(int row, const wxPoint& position)
{
    m_nContextRow = row;
    const bool own = m_listChannels->GetOwnChannelIndex(m_nContextRow) >= 0;
    wxMenu menu;
    menu.Append(wc::ID_PLAY, "&Play");
    menu.AppendSeparator();
    menu.Append(wc::ID_ADD_CHANNEL, "&Add Channel...");
    menu.Append(kEditChannelId, "&Edit Channel...")->Enable(own);
    menu.Append(kRemoveChannelId, "&Remove Channel\tDel")->Enable(own);
    m_listChannels->PopupMenu(&menu, position);
    CallAfter([this] { m_nContextRow = -1; });
}

void CWavecrestView::OnListItemActivated(wxListEvent& event)
{
    // A double click; Enter comes as a key (OnListKeyDown), once.
    if (!m_bEnterHandled)
        PlayRow(static_cast<int>(event.GetIndex()));
}

void CWavecrestView::PlayRow(int row)
{
    if (row < 0 || row >= m_listChannels->GetRowCount())
        return;
    // A row focused need not be selected (Down from the find box only
    // focuses one): selecting it plays it.
    if (m_listChannels->GetSelectedRow() != row)
    {
        m_listChannels->SelectAndFocus(row);
        return;
    }
    // The selected row: played again unless it plays already (the second
    // click of a double click comes here after the first one selected it).
    if (!PlaysNow(m_listChannels->GetItemText(row, CChannelListCtrl::kAddressColumn)))
        platform::PostCommand(this, wc::ID_PLAY);
}

// ---- Finding as the person types -----------------------------------------------

void CWavecrestView::OnFindText(wxCommandEvent& /*event*/)
{
    m_listChannels->SetFindText(m_pFindBox->GetValue());
}

void CWavecrestView::OnFindEnter(wxCommandEvent& /*event*/)
{
    // Enter plays the first row shown.
    if (m_listChannels->GetRowCount() == 0)
        return;
    if (m_listChannels->GetSelectedRow() == 0)
        platform::PostCommand(this, wc::ID_PLAY);
    else
        m_listChannels->SelectAndFocus(0);
}

void CWavecrestView::OnFindKeyDown(wxKeyEvent& event)
{
    switch (event.GetKeyCode())
    {
    case WXK_DOWN:
        // Into the list, at the row selected or else the first one.
        m_listChannels->SetFocus();
        if (m_listChannels->GetSelectedRow() < 0 && m_listChannels->GetRowCount() > 0)
            m_listChannels->SetItemState(0, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        return;
    case WXK_ESCAPE:
        m_pFindBox->SetValue(wxString());
        m_listChannels->SetFocus();
        if (const int selected = m_listChannels->GetSelectedRow(); selected >= 0)
            m_listChannels->EnsureVisible(selected);
        return;
    default:
        event.Skip();
    }
}

void CWavecrestView::OnPageCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == 'F' && event.GetModifiers() == wxMOD_CONTROL)
    {
        m_pFindBox->SetFocus();
        m_pFindBox->SelectAll();
        return;
    }
    // F11 anywhere on the page shows the picture on the whole screen.
    if (event.GetKeyCode() == WXK_F11 && event.GetModifiers() == wxMOD_NONE && m_player)
    {
        m_player->SetFullScreen(!m_player->IsFullScreen());
        return;
    }
    event.Skip();
}

void CWavecrestView::OnListItemChanged(wxListEvent& /*event*/)
{
    // The channel playing is selected again under a new find text: it plays on.
    if (m_listChannels->IsRestoringSelection())
        return;
    // Posted, so it plays the selection once the list has finished changing it.
    platform::PostCommand(this, wc::ID_PLAY);
}

void CWavecrestView::OnListKeyDown(wxListEvent& event)
{
    // Only while the list has the keyboard focus; the list still handles the key.
    if (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER)
    {
        // Enter plays the focused row (the list does not report it as
        // activated when its row came from the find box).
        m_bEnterHandled = true;
        CallAfter([this] { m_bEnterHandled = false; });
        PlayRow(static_cast<int>(
            m_listChannels->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED)));
    }
    else if (event.GetKeyCode() == WXK_DELETE || event.GetKeyCode() == WXK_NUMPAD_DELETE)
        platform::PostCommand(this, kRemoveChannelId);
    else if (event.GetKeyCode() == kKeyF8)
        platform::PostCommand(this, wc::ID_PLAY_PREVIOUS);
    else if (event.GetKeyCode() == kKeyF9)
        platform::PostCommand(this, wc::ID_PLAY_NEXT);
    event.Skip();
}

// ---- Display filters ---------------------------------------------------------

void CWavecrestView::OnDisplayNonWorkingChannels(wxCommandEvent& /*event*/)
{
    m_bDisplayNonWorking = m_pNonWorkingBox->GetValue();
    WriteSettingInt(setting::DisplayNonWorkingChannels.name, m_bDisplayNonWorking ? 1 : 0);
    platform::PostMessage(this, wc::WM_RELOAD_CHANNELS);
}

void CWavecrestView::OnDisplayRadioChannels(wxCommandEvent& /*event*/)
{
    g_pCachedSettings->WriteDisplayRadioChannels(
        ToggledValue(g_pCachedSettings->DisplayRadioChannels()));
    PostRefresh();
}

void CWavecrestView::OnDisplayTvChannels(wxCommandEvent& /*event*/)
{
    g_pCachedSettings->WriteDisplayTVChannels(ToggledValue(g_pCachedSettings->DisplayTVChannels()));
    PostRefresh();
}

void CWavecrestView::OnUpdateDisplayRadioChannels(wxUpdateUIEvent& event)
{
    event.Check(g_pCachedSettings->DisplayRadioChannels() != 0);
}

void CWavecrestView::OnUpdateDisplayTvChannels(wxUpdateUIEvent& event)
{
    event.Check(g_pCachedSettings->DisplayTVChannels() != 0);
}

void CWavecrestView::PostRefresh()
{
    // A fresh download, which reloads the list with the new filter.
    if (CMainFrame* mainFrame = GetMainFrame())
        platform::PostCommand(mainFrame, wc::ID_REFRESH_CHANNELS);
}

// ---- Playback ----------------------------------------------------------------

void CWavecrestView::OnPlay(wxCommandEvent& /*event*/)
{
    const int selected = m_listChannels->GetSelectedRow();
    if (selected < 0 && m_bPlayingHandedStation)
    {
        // Nothing chosen in the list: Play plays the handed station again.
        PlayUrl(m_chosenChannel.strAddress);
        PublishMediaState();
        return;
    }
    if (selected < 0)
    {
        // Selecting row 0 posts another Play, which plays it.
        if (m_listChannels->GetRowCount() > 0)
            m_listChannels->SelectAndFocus(0);
        return;
    }
    m_bPlayingHandedStation = false;
    m_chosenChannel.nRow = selected;
    m_chosenChannel.strName = m_listChannels->GetItemText(selected, CChannelListCtrl::kNameColumn);
    m_chosenChannel.strAddress =
        m_listChannels->GetItemText(selected, CChannelListCtrl::kAddressColumn);
    // The index names the channel in the list without a find text; the
    // address finds it again where the index has moved.
    WriteSettingInt(setting::LastChannelIndex.name, m_listChannels->GetListIndex(selected));
    WriteSettingText(setting::LastChannelAddress, m_chosenChannel.strAddress.utf8_string());
    PlayUrl(m_chosenChannel.strAddress);
    // Playing the same address again changes no status text: the channel
    // is announced here all the same.
    PublishMediaState();
}

void CWavecrestView::OnStop(wxCommandEvent& /*event*/)
{
    m_player->GetControls().stop();
}

void CWavecrestView::OnNextChannel(wxCommandEvent& /*event*/)
{
    const int rows = m_listChannels->GetRowCount();
    if (rows < 2)
        return;
    const int target = m_listChannels->GetSelectedRow() + 1;
    m_listChannels->SelectAndFocus(target == rows ? 0 : target);
}

void CWavecrestView::OnPreviousChannel(wxCommandEvent& /*event*/)
{
    const int rows = m_listChannels->GetRowCount();
    if (rows < 2)
        return;
    const int selected = m_listChannels->GetSelectedRow();
    const int target = (selected < 0 ? rows : selected) - 1;
    m_listChannels->SelectAndFocus(target < 0 ? rows - 1 : target);
}

void CWavecrestView::OnTakePlayRequests(wxCommandEvent& /*event*/)
{
    TakePlayRequests();
}

bool CWavecrestView::TakePlayRequests()
{
    CMainFrame* mainFrame = GetMainFrame();
    if (!mainFrame)
        return false;
    const std::vector<PlayRequest> requests = mainFrame->TakePlayRequests();
    for (const PlayRequest& request : requests)
    {
        if (!request.channels.empty())
        {
            AddChannelsAndPlayFirst(request.channels);
            continue;
        }
        if (request.stationAddress.empty())
            continue;
        // Not a row: a row left selected would play in its place on the
        // next Play.
        if (const int selected = m_listChannels->GetSelectedRow(); selected >= 0)
            m_listChannels->SetItemState(selected, 0, wxLIST_STATE_SELECTED);
        m_bPlayingHandedStation = true;
        m_chosenChannel = MediaChannel{-1, request.stationName, request.stationAddress};
        PlayUrl(m_chosenChannel.strAddress);
        PublishMediaState();
    }
    return !requests.empty();
}

bool CWavecrestView::PlaysNow(const wxString& address) const
{
    using EState = CPlayerStatus::EState;
    const EState state = m_player->GetPlayState();
    const bool running =
        state == EState::Playing || state == EState::Buffering || state == EState::Connecting;
    return running && !address.empty() && m_player->GetURL() == address;
}

void CWavecrestView::PlayUrl(const wxString& url)
{
    m_player->SetURL(url, url == m_chosenChannel.strAddress ? m_chosenChannel.strName : wxString());
}

void CWavecrestView::OnStatusChange(wxCommandEvent& /*event*/)
{
    ShowStatusText();
    // A new title from the stream changes the text, not the play state.
    PublishMediaState();
}

void CWavecrestView::ShowStatusText()
{
    CMainFrame* mainFrame = GetMainFrame();
    if (!mainFrame)
        return;
    // The note on a shortened list stays in view beside the player's status.
    const wxString status = m_player->GetStatusText();
    if (m_strListNote.empty())
        mainFrame->SetStatusText(status);
    else
        mainFrame->SetStatusText(status.empty() ? m_strListNote : status + " - " + m_strListNote);
}

void CWavecrestView::OnPlayStateChange(wxCommandEvent& /*event*/)
{
    PublishMediaState();
}

void CWavecrestView::OnVolumeChange(wxCommandEvent& /*event*/)
{
    PublishMediaState();
}

void CWavecrestView::PublishMediaState()
{
    if (!m_player || !m_pMediaSession)
        return;
    m_pMediaSession->Publish(CMediaSession::StateOf(m_player->GetPlayState(), m_chosenChannel,
                                                    m_player->GetStreamTitle(),
                                                    m_player->GetVolume()));
}

// ---- Desktop media controls ----------------------------------------------------

void CWavecrestView::MediaPause()
{
    m_player->Pause();
}

void CWavecrestView::MediaPlayPause()
{
    switch (
        CMediaSession::PlayPauseActionFor(m_player->GetPlayState(), !m_player->GetURL().empty()))
    {
    case CMediaSession::EPlayPauseAction::Pause:
        m_player->Pause();
        break;
    case CMediaSession::EPlayPauseAction::Resume:
        m_player->Play();
        break;
    case CMediaSession::EPlayPauseAction::PlayChosenChannel:
        platform::PostCommand(this, wc::ID_PLAY);
        break;
    }
}

void CWavecrestView::MediaSetVolume(double dVolume)
{
    m_player->SetVolume(CMediaSession::VolumeForPlayer(dVolume));
}

void CWavecrestView::OnHotKey(platform::CAppMessageEvent& event)
{
    PostHotKeyCommand(this, static_cast<int>(event.GetWParam()));
}

bool CWavecrestView::OnClose(bool deleteWindow)
{
    StopReload();
    if (m_player)
        m_player->SetFullScreen(false);
    // Closing the page releases its hot keys (and ends playback with the player).
    if (GetChildFrame())
    {
        UnregisterAllHotKeys(GetChildFrame());
        // The page's windows may outlive the view by a moment.
        GetChildFrame()->Unbind(wxEVT_CHAR_HOOK, &CWavecrestView::OnPageCharHook, this);
    }
    if (m_pFindBox)
        m_pFindBox->Unbind(wxEVT_KEY_DOWN, &CWavecrestView::OnFindKeyDown, this);
    if (m_listChannels)
        m_listChannels->Unbind(wxEVT_CONTEXT_MENU, &CWavecrestView::OnListContextMenuKey, this);
    // The player goes with the page: nothing plays, and nothing can be asked for.
    if (m_player && m_pMediaSession)
        m_pMediaSession->Publish(CMediaSession::WithoutRadioPage(
            CMediaSession::VolumeFromPlayer(m_player->GetVolume())));
    return CPageView::OnClose(deleteWindow);
}
