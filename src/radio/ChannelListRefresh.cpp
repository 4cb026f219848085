#include "radio/ChannelListRefresh.h"

#include "catalogue/DataFolder.h"
#include "catalogue/StationList.h"
#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "download/StationListDownload.h"
#include "platform/Messages.h"
#include "platform/ModalDialogs.h"
#include "radio/ChannelListCtrl.h"

#include <wx/utils.h>

#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

namespace
{
// A load reads for this long at a time, then leaves the window this pause
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

CChannelListRefresh::CChannelListRefresh(wxWindow* pDialogParent, CChannelListCtrl& list,
                                         std::function<void(const wxString&)> onLoaded)
    : m_pDialogParent(pDialogParent), m_list(list), m_onLoaded(std::move(onLoaded)),
      m_reloadTimer(this), m_pAlive(std::make_shared<bool>(true))
{
    Bind(wxEVT_TIMER, &CChannelListRefresh::OnReloadTimer, this, m_reloadTimer.GetId());
}

CChannelListRefresh::~CChannelListRefresh()
{
    *m_pAlive = false;
    StopReload();
}

void CChannelListRefresh::Refresh()
{
    // The download dialog runs its own message loop, where another refresh
    // can arrive (a second toggle, say): it runs once this one is done.
    if (m_bDownloading)
    {
        m_bRefreshAgain = true;
        return;
    }
    m_bDownloading = true;
    const std::shared_ptr<bool> alive = m_pAlive;
    const bool downloaded =
        DownloadStationList(m_pDialogParent, wxString::FromUTF8(GetStationListPath()));
    if (!*alive)
        return; // the page closed meanwhile (the program is on its way out)
    m_bDownloading = false;
    if (downloaded)
        Reload();
    if (std::exchange(m_bRefreshAgain, false))
        CallAfter([this] { Refresh(); });
}

void CChannelListRefresh::HandleFilterCommands(wxEvtHandler& page)
{
    m_pPage = &page;
    page.Bind(wxEVT_MENU, &CChannelListRefresh::OnToggleRadio, this, wc::ID_DISPLAY_RADIO);
    page.Bind(wxEVT_MENU, &CChannelListRefresh::OnToggleTv, this, wc::ID_DISPLAY_TV);
    page.Bind(wxEVT_UPDATE_UI, &CChannelListRefresh::OnUpdateRadio, this, wc::ID_DISPLAY_RADIO);
    page.Bind(wxEVT_UPDATE_UI, &CChannelListRefresh::OnUpdateTv, this, wc::ID_DISPLAY_TV);
}

void CChannelListRefresh::OnToggleRadio(wxCommandEvent& /*event*/)
{
    g_pCachedSettings->WriteDisplayRadioChannels(
        ToggledValue(g_pCachedSettings->DisplayRadioChannels()));
    AskForRefresh();
}

void CChannelListRefresh::AskForRefresh()
{
    // Once the toggle has returned, the page's Refresh: a fresh download,
    // whose list the new filter holds for.
    platform::PostCommand(m_pPage, wc::ID_REFRESH_CHANNELS);
}

void CChannelListRefresh::OnToggleTv(wxCommandEvent& /*event*/)
{
    g_pCachedSettings->WriteDisplayTVChannels(ToggledValue(g_pCachedSettings->DisplayTVChannels()));
    AskForRefresh();
}

void CChannelListRefresh::OnUpdateRadio(wxUpdateUIEvent& event)
{
    event.Check(g_pCachedSettings->DisplayRadioChannels() != 0);
}

void CChannelListRefresh::OnUpdateTv(wxUpdateUIEvent& event)
{
    event.Check(g_pCachedSettings->DisplayTVChannels() != 0);
}

void CChannelListRefresh::Reload()
{
    StopReload();
    // The settings as they are when the load starts hold for all of it.
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

void CChannelListRefresh::OnReloadTimer(wxTimerEvent& /*event*/)
{
    if (m_pLoading)
        ContinueReload();
}

void CChannelListRefresh::ContinueReload()
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
    m_onLoaded(stationList->IsTruncated()
                   ? "Only the first " + WithThousands(CStationList::kMaxChannels) +
                         " channels are listed; the rest were left out."
                   : wxString());
}

void CChannelListRefresh::StopReload()
{
    m_reloadTimer.Stop();
    m_pLoading.reset(); // closes the file, and deletes it unless a newer one took its place
    m_pBusyCursor.reset();
}

void CChannelListRefresh::FillList(CStationList& stationList)
{
    m_list.RemoveRowsAndColumns();
    const CChannelRecord& header = stationList.m_header;
    m_list.SetUpColumns(
        {header.GetName(), header.GetField5(), header.GetField4(), header.GetUrl()});
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
    m_list.ShowChannels(std::move(stationList.m_channels), std::move(rows));
}
