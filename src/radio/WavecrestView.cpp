#include "radio/WavecrestView.h"

#include "catalogue/StationList.h"
#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "platform/HotKeys.h"
#include "platform/ModalDialogs.h"
#include "player/WMPPlayer4.h"
#include "radio/ChannelListCtrl.h"
#include "radio/HotKeys.h"
#include "res/Resources.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

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
constexpr int kKeyF8 = WXK_F8;
constexpr int kKeyF9 = WXK_F9;
constexpr int kReloadTimerId = 1;
// A reload reads for this long at a time, then leaves the window this pause
// to paint and answer before it reads on.
constexpr std::chrono::milliseconds kReloadSlice{50};
constexpr int kReloadPauseMs = 10;

// The station handed over for the next radio page to play.
MediaChannel& HandedStation()
{
    static MediaChannel station;
    return station;
}

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
    EVT_MENU(wc::ID_DISPLAY_RADIO, CWavecrestView::OnDisplayRadioChannels)
    EVT_MENU(wc::ID_DISPLAY_TV, CWavecrestView::OnDisplayTvChannels)
    EVT_UPDATE_UI(wc::ID_DISPLAY_RADIO, CWavecrestView::OnUpdateDisplayRadioChannels)
    EVT_UPDATE_UI(wc::ID_DISPLAY_TV, CWavecrestView::OnUpdateDisplayTvChannels)
    EVT_APP_MESSAGE(wc::WM_RELOAD_CHANNELS, CWavecrestView::OnReloadChannels)
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

CWavecrestView::CWavecrestView() : m_reloadTimer(this, kReloadTimerId) {}

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
    m_pNonWorkingBox = XRCCTRL(*form, "IDC_DISPLAY_NON_WORKING", wxCheckBox);
    m_pNonWorkingBox->SetId(kNonWorkingBoxId);
    m_pNonWorkingBox->SetValue(m_bDisplayNonWorking);
    // F11 anywhere on the page shows the picture on the whole screen.
    form->Bind(wxEVT_CHAR_HOOK, &CWavecrestView::OnPageKey, this);

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
    MediaChannel handed = std::exchange(HandedStation(), MediaChannel());
    if (!handed.strAddress.empty())
    {
        m_bPlayingHandedStation = true;
        m_chosenChannel = handed;
        PlayUrl(m_chosenChannel.strAddress);
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
        SelectRow(GetSetting(setting::LastChannelIndex));
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
    if (index >= 0 && index < m_listChannels->GetRowCount())
        m_listChannels->SelectAndFocus(index);
}

void CWavecrestView::OnListItemChanged(wxListEvent& /*event*/)
{
    // Posted, so it plays the selection once the list has finished changing it.
    platform::PostCommand(this, wc::ID_PLAY);
}

void CWavecrestView::OnPageKey(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_F11 && m_player)
        m_player->SetFullScreen(!m_player->IsFullScreen());
    else
        event.Skip();
}

void CWavecrestView::OnListKeyDown(wxListEvent& event)
{
    // Only while the list has the keyboard focus; the list still handles the key.
    if (event.GetKeyCode() == kKeyF8)
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
    WriteSettingInt(setting::LastChannelIndex.name, selected);
    m_bPlayingHandedStation = false;
    m_chosenChannel.nRow = selected;
    m_chosenChannel.strName = m_listChannels->GetItemText(selected, CChannelListCtrl::kNameColumn);
    m_chosenChannel.strAddress =
        m_listChannels->GetItemText(selected, CChannelListCtrl::kAddressColumn);
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

void CWavecrestView::PlayWhenOpened(const wxString& name, const wxString& address)
{
    HandedStation() = MediaChannel{-1, name, address};
}

void CWavecrestView::PlayUrl(const wxString& url)
{
    m_player->SetURL(url);
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
        UnregisterAllHotKeys(GetChildFrame());
    // The player goes with the page: nothing plays, and nothing can be asked for.
    if (m_player && m_pMediaSession)
        m_pMediaSession->Publish(CMediaSession::WithoutRadioPage(
            CMediaSession::VolumeFromPlayer(m_player->GetVolume())));
    return CPageView::OnClose(deleteWindow);
}
