#include "radio/WavecrestView.h"

#include "catalogue/ChannelRecord.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "platform/HotKeys.h"
#include "player/WMPPlayer4.h"
#include "radio/ChannelListCtrl.h"
#include "radio/ChannelListRefresh.h"
#include "radio/HotKeys.h"
#include "radio/MyChannelRows.h"
#include "res/Resources.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include <vector>

wxIMPLEMENT_DYNAMIC_CLASS(CWavecrestView, CPageView);

namespace
{
constexpr int kPlayerId = 1003;
constexpr int kListId = 1002;
constexpr int kNonWorkingBoxId = 1005;
constexpr int kFindBoxId = 1006;
constexpr int kKeyF8 = WXK_F8;
constexpr int kKeyF9 = WXK_F9;
} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CWavecrestView, CPageView)
    EVT_CHECKBOX(kNonWorkingBoxId, CWavecrestView::OnDisplayNonWorkingChannels)
    EVT_LIST_KEY_DOWN(kListId, CWavecrestView::OnListKeyDown)
    EVT_LIST_ITEM_SELECTED(kListId, CWavecrestView::OnListItemChanged)
    EVT_LIST_ITEM_ACTIVATED(kListId, CWavecrestView::OnListItemActivated)
    EVT_MENU(wc::ID_ADD_CHANNEL, CWavecrestView::OnAddChannel)
    EVT_TEXT(kFindBoxId, CWavecrestView::OnFindText)
    EVT_TEXT_ENTER(kFindBoxId, CWavecrestView::OnFindEnter)
    EVT_APP_MESSAGE(wc::WM_RELOAD_CHANNELS, CWavecrestView::OnReloadChannels)
    EVT_MENU(wc::ID_REFRESH_CHANNELS, CWavecrestView::OnRefreshChannels)
    EVT_MENU(wc::ID_PLAY, CWavecrestView::OnPlay)
    EVT_MENU(wc::ID_TRAY_PLAY, CWavecrestView::OnPlay)
    EVT_MENU(wc::ID_STOP, CWavecrestView::OnStop)
    EVT_MENU(wc::ID_TRAY_STOP, CWavecrestView::OnStop)
    EVT_MENU(wc::ID_PLAY_NEXT, CWavecrestView::OnNextChannel)
    EVT_MENU(wc::ID_TRAY_PLAY_NEXT, CWavecrestView::OnNextChannel)
    EVT_MENU(wc::ID_PLAY_PREVIOUS, CWavecrestView::OnPreviousChannel)
    EVT_MENU(wc::ID_TRAY_PLAY_PREVIOUS, CWavecrestView::OnPreviousChannel)
    EVT_PLAYER_STATUS_CHANGE(kPlayerId, CWavecrestView::OnStatusChange)
    EVT_APP_MESSAGE(platform::WM_HOTKEY, CWavecrestView::OnHotKey)
wxEND_EVENT_TABLE()
// clang-format on

// ---- The page ------------------------------------------------------------

CWavecrestView::CWavecrestView() : m_pSession(CPlaybackSession::Program())
{
    if (!m_pSession)
    {
        m_pOwnSession = std::make_unique<CPlaybackSession>();
        m_pSession = m_pOwnSession.get();
    }
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
    // The player shows the session's engine, which may play already.
    CPlayerEngine* engine = m_pSession->Bind(*this).GetPlayerEngine();
    m_player = engine ? new CWMPPlayer4(holder ? holder : form, kPlayerId, *engine)
                      : new CWMPPlayer4(holder ? holder : form, kPlayerId);
    m_player->SetId(kPlayerId); // the placeholder gives it its own id
    m_listChannels = XRCCTRL(*form, "IDC_CHANNELS", CChannelListCtrl);
    m_listChannels->SetId(kListId);
    m_pNonWorkingBox = XRCCTRL(*form, "IDC_DISPLAY_NON_WORKING", wxCheckBox);
    m_pNonWorkingBox->SetId(kNonWorkingBoxId);
    m_pNonWorkingBox->SetValue(m_bDisplayNonWorking);
    m_pFindBox = XRCCTRL(*form, "IDC_FIND", wxTextCtrl);
    m_pFindBox->SetId(kFindBoxId);
    m_pFindBox->Bind(wxEVT_KEY_DOWN, &CWavecrestView::OnFindKeyDown, this);
    frame->Bind(wxEVT_CHAR_HOOK, &CWavecrestView::OnPageCharHook, this);
    m_pMine = std::make_unique<CMyChannelRows>(frame, *m_listChannels);
    m_pRefresh = std::make_unique<CChannelListRefresh>(
        frame, *m_listChannels, [this](const wxString& note) { OnListLoaded(note); });
    m_pRefresh->HandleFilterCommands(*this);

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
    m_pMine->Load();

    ShowStatusText(); // the session may be playing since the program's start

    // What was asked for while the page was closed plays in place of
    // auto-play's choice. One of My channels played last is in the list
    // before any download: auto-play plays it at once, also when the
    // station list cannot be had.
    if (!m_pSession->TakeWaitingRequests() && CPlaybackSession::IsAutoPlayOn())
        AutoPlay(false);
    // The list is filled by the load that follows a successful download.
    platform::PostCommand(this, wc::ID_REFRESH_CHANNELS);
}

// ---- The list --------------------------------------------------------------

void CWavecrestView::OnReloadChannels(platform::CAppMessageEvent& /*event*/)
{
    ReloadChannelList();
}

void CWavecrestView::OnRefreshChannels(wxCommandEvent& /*event*/)
{
    m_pRefresh->Refresh();
}

void CWavecrestView::ReloadChannelList()
{
    m_pRefresh->Reload();
}

bool CWavecrestView::IsReloading() const
{
    return m_pRefresh && m_pRefresh->IsReloading();
}

void CWavecrestView::OnListLoaded(const wxString& note)
{
    m_pMine->Show();
    if (note != m_strListNote)
    {
        m_strListNote = note;
        ShowStatusText();
    }
    // A station from elsewhere plays on: auto-play does not replace it.
    if (CPlaybackSession::IsAutoPlayOn() && !m_pSession->IsPlayingHandedStation())
        AutoPlay(true);
}

void CWavecrestView::AutoPlay(bool bStationListLoaded)
{
    const int index = CPlaybackSession::ChooseAutoPlayIndex(*this, bStationListLoaded);
    const int row = index >= 0 && index < m_listChannels->GetListCount()
                        ? m_listChannels->GetRowOfListIndex(index)
                        : -1;
    // The channel plays already (since the program's start, or auto-play
    // chose one of My channels before the station list came): its row is
    // selected, and it plays on.
    if (row >= 0 &&
        m_pSession->PlaysNow(m_listChannels->GetItemText(row, CChannelListCtrl::kAddressColumn)))
    {
        m_listChannels->SelectAgain(row);
        m_pSession->PlayRow(ChannelOfRow(row), index, true);
        return;
    }
    SelectRow(index);
}

int CWavecrestView::GetListCount() const
{
    return m_listChannels->GetListCount();
}

std::string CWavecrestView::AddressAt(int index) const
{
    const CChannelRecord* channel =
        m_listChannels->GetChannel(m_listChannels->GetRowOfListIndex(index));
    return channel ? std::string(channel->FieldUtf8(CChannelRecord::kUrl)) : std::string();
}

int CWavecrestView::FindAddress(const std::string& address, int near) const
{
    return m_listChannels->FindListIndex(address, near);
}

MediaChannel CWavecrestView::ChannelOfRow(int row) const
{
    return MediaChannel{row, m_listChannels->GetItemText(row, CChannelListCtrl::kNameColumn),
                        m_listChannels->GetItemText(row, CChannelListCtrl::kAddressColumn)};
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

CMyChannels& CWavecrestView::GetMyChannels()
{
    return m_pMine->Channels();
}

bool CWavecrestView::MyChannelsChanged()
{
    return m_pMine->Changed();
}

void CWavecrestView::AddChannelsAndPlayFirst(const std::vector<CChannelRecord>& channels)
{
    const int row = m_pMine->Add(channels);
    if (row >= 0 && m_listChannels->GetSelectedRow() == row)
        platform::PostCommand(this, wc::ID_PLAY);
    else if (row >= 0)
        m_listChannels->SelectAndFocus(row);
    else if (!channels.empty()) // the filters hide it: it plays as a station that is no row
        m_pSession->Request(PlayRequest{{}, channels.front().GetName(), channels.front().GetUrl()});
}

void CWavecrestView::OnAddChannel(wxCommandEvent& /*event*/)
{
    if (const int row = m_pMine->AddByDialog(); row >= 0)
        m_listChannels->SelectAndFocus(row);
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
    if (!m_pSession->PlaysNow(m_listChannels->GetItemText(row, CChannelListCtrl::kAddressColumn)))
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
        platform::PostCommand(m_listChannels, CMyChannelRows::kRemoveChannelId);
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

// ---- Playback ----------------------------------------------------------------

void CWavecrestView::OnPlay(wxCommandEvent& /*event*/)
{
    const int selected = m_listChannels->GetSelectedRow();
    if (selected < 0 && m_pSession->IsPlayingHandedStation())
    {
        // Nothing chosen in the list: Play plays the handed station again.
        m_pSession->PlayStationAgain();
        return;
    }
    if (selected < 0)
    {
        // Selecting row 0 posts another Play, which plays it.
        if (m_listChannels->GetRowCount() > 0)
            m_listChannels->SelectAndFocus(0);
        return;
    }
    m_pSession->PlayRow(ChannelOfRow(selected), m_listChannels->GetListIndex(selected));
}

void CWavecrestView::OnStop(wxCommandEvent& /*event*/)
{
    m_pSession->Stop();
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

// ---- What the session asks of the page ---------------------------------------

void CWavecrestView::OnPlaybackChanged()
{
    if (m_player)
        m_player->EngineChanged();
}

void CWavecrestView::OnOpening()
{
    // Another channel brings the window back from the whole screen first.
    if (m_player)
        m_player->SetFullScreen(false);
}

void CWavecrestView::ClearRowSelection()
{
    if (const int selected = m_listChannels->GetSelectedRow(); selected >= 0)
        m_listChannels->SetItemState(selected, 0, wxLIST_STATE_SELECTED);
}

void CWavecrestView::PlayChosenRow()
{
    platform::PostCommand(this, wc::ID_PLAY);
}

void CWavecrestView::PlayNextRow()
{
    platform::PostCommand(this, wc::ID_PLAY_NEXT);
}

void CWavecrestView::PlayPreviousRow()
{
    platform::PostCommand(this, wc::ID_PLAY_PREVIOUS);
}

void CWavecrestView::OnStatusChange(wxCommandEvent& /*event*/)
{
    ShowStatusText();
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

void CWavecrestView::OnHotKey(platform::CAppMessageEvent& event)
{
    PostHotKeyCommand(this, static_cast<int>(event.GetWParam()));
}

bool CWavecrestView::OnClose(bool deleteWindow)
{
    if (m_pRefresh)
        m_pRefresh->StopReload();
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
    if (m_pMine)
        m_pMine->Detach();
    // Playback ends with the page: the player lets go of the session's
    // engine, which ends then.
    if (m_player)
        m_player->ReleaseEngine();
    m_pSession->Unbind(*this);
    return CPageView::OnClose(deleteWindow);
}
