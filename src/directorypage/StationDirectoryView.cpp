#include "directorypage/StationDirectoryView.h"

#include "core/Identifiers.h"
#include "directory/DirectoryClient.h"
#include "directory/DirectoryRequest.h"
#include "directory/DirectorySession.h"
#include "directorypage/DirectoryListCtrl.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "platform/ModalDialogs.h"
#include "playlists/MyChannels.h"
#include "session/PlaybackSession.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <iterator>

wxIMPLEMENT_DYNAMIC_CLASS(CStationDirectoryView, CPageView);

namespace
{
constexpr int kSearchBoxId = 1101;
constexpr int kResultsId = 1102;
constexpr int kTypingTimerId = 1103;
constexpr int kCountryId = 1104;
constexpr int kLanguageId = 1105;
constexpr int kTagId = 1106;
constexpr int kOrderId = 1107;
constexpr int kShowBrokenId = 1108;
// The directory knows tens of thousands of tags, and a server may send as
// many countries or languages: the ones of the most stations are offered,
// few enough for the choice to be filled at once.
constexpr size_t kMostCountries = 300;
constexpr size_t kMostLanguages = 400;
constexpr size_t kMostTags = 400;
constexpr int kSearchLimit = 500;

// Counts plays with the directory. It outlives the page, which closes as the
// radio page opens to play, so that the count still reaches the directory.
void CountPlay(const std::shared_ptr<CDirectorySession>& session, const std::string& uuid)
{
    static std::shared_ptr<CDirectorySession> s_session;
    static std::unique_ptr<CDirectoryClient> s_counter;
    if (!s_counter || s_session != session)
    {
        s_counter.reset();
        s_session = session;
        // Nothing is shown of the answer: the play goes on either way.
        s_counter = std::make_unique<CDirectoryClient>(session, [](CDirectoryClient::Task) {});
    }
    s_counter->CountPlay(uuid, [](const ClickAnswer&) {});
}
} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CStationDirectoryView, CPageView)
    EVT_TEXT(kSearchBoxId, CStationDirectoryView::OnSearchText)
    EVT_TEXT_ENTER(kSearchBoxId, CStationDirectoryView::OnSearchEnter)
    EVT_TIMER(kTypingTimerId, CStationDirectoryView::OnTypingPaused)
    EVT_CHOICE(kCountryId, CStationDirectoryView::OnFilterChanged)
    EVT_CHOICE(kLanguageId, CStationDirectoryView::OnFilterChanged)
    EVT_CHOICE(kTagId, CStationDirectoryView::OnFilterChanged)
    EVT_CHOICE(kOrderId, CStationDirectoryView::OnFilterChanged)
    EVT_CHECKBOX(kShowBrokenId, CStationDirectoryView::OnFilterChanged)
    EVT_LIST_ITEM_ACTIVATED(kResultsId, CStationDirectoryView::OnResultActivated)
    EVT_MENU(wc::ID_PLAY, CStationDirectoryView::OnPlay)
    EVT_MENU(wc::ID_ADD_TO_MY_CHANNELS, CStationDirectoryView::OnAddToMyChannels)
wxEND_EVENT_TABLE()
// clang-format on

CStationDirectoryView::CStationDirectoryView() : m_typingTimer(this, kTypingTimerId) {}

CStationDirectoryView::~CStationDirectoryView() = default;

void CStationDirectoryView::CreateContent(CChildFrame* frame)
{
    m_pSession = CDirectorySession::Program();
    frame->Bind(wxEVT_CHAR_HOOK, &CStationDirectoryView::OnPageCharHook, this);
    // Results reach the page on the GUI thread; once the client is gone
    // nothing more arrives.
    m_pClient = std::make_unique<CDirectoryClient>(m_pSession, [this](CDirectoryClient::Task task)
                                                   { CallAfter(std::move(task)); });

    auto* panel = new wxPanel(frame);
    auto* layout = new wxBoxSizer(wxVERTICAL);

    auto* searchRow = new wxBoxSizer(wxHORIZONTAL);
    searchRow->Add(new wxStaticText(panel, wxID_ANY, "&Search:"),
                   wxSizerFlags().CenterVertical().Border(wxRIGHT));
    m_pSearchBox = new wxTextCtrl(panel, kSearchBoxId, wxString(), wxDefaultPosition, wxDefaultSize,
                                  wxTE_PROCESS_ENTER);
    m_pSearchBox->SetHint("Station name");
    m_pSearchBox->Bind(wxEVT_KEY_DOWN, &CStationDirectoryView::OnSearchKeyDown, this);
    searchRow->Add(m_pSearchBox, wxSizerFlags(1).Expand());
    layout->Add(searchRow, wxSizerFlags().Expand().Border());

    auto* filterRow = new wxBoxSizer(wxHORIZONTAL);
    auto addChoice = [panel, filterRow](int id, const wxString& label, const wxString& any)
    {
        filterRow->Add(new wxStaticText(panel, wxID_ANY, label),
                       wxSizerFlags().CenterVertical().Border(wxRIGHT, 4));
        auto* choice = new wxChoice(panel, id);
        choice->Append(any);
        choice->SetSelection(0);
        filterRow->Add(choice, wxSizerFlags(1).Border(wxRIGHT));
        return choice;
    };
    m_pCountry = addChoice(kCountryId, "Country:", "Any country");
    m_pLanguage = addChoice(kLanguageId, "Language:", "Any language");
    m_pTag = addChoice(kTagId, "Tag:", "Any tag");
    m_countryCodes = {std::string()};
    m_languageCodes = {std::string()};
    m_tagCodes = {std::string()};
    m_pOrder = new wxChoice(panel, kOrderId);
    m_pOrder->Append("Most votes");
    m_pOrder->Append("Most clicks");
    m_pOrder->Append("Name");
    m_pOrder->SetSelection(0);
    filterRow->Add(new wxStaticText(panel, wxID_ANY, "Order:"),
                   wxSizerFlags().CenterVertical().Border(wxRIGHT, 4));
    filterRow->Add(m_pOrder);
    layout->Add(filterRow, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT));

    m_pShowBroken = new wxCheckBox(panel, kShowBrokenId,
                                   "Show stations that failed the directory's last check");
    layout->Add(m_pShowBroken, wxSizerFlags().Border());

    m_pResults = new CDirectoryListCtrl(panel, kResultsId);
    layout->Add(m_pResults, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT));
    m_pStatus = new wxStaticText(panel, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                 wxST_ELLIPSIZE_END);
    layout->Add(m_pStatus, wxSizerFlags().Expand().Border());
    panel->SetSizer(layout);

    auto* frameLayout = new wxBoxSizer(wxVERTICAL);
    frameLayout->Add(panel, wxSizerFlags(1).Expand());
    frame->SetSizer(frameLayout);
}

void CStationDirectoryView::OnInitialUpdate()
{
    CMainFrame* mainFrame = GetMainFrame();
    if (!mainFrame)
        return;
    mainFrame->PlacePage(this, "CStationDirectoryView");
    platform::PostMessage(mainFrame, wc::WM_UPDATE_STATUS_PANES);
    m_pSearchBox->SetFocus();
    DirectoryPageState kept;
    if (m_pSession->FindPageState(kept))
    {
        ShowState(kept);
        m_bSearched = true; // the kept line says what the last search found
    }
    else
        ShowStatus("Type a station's name and press Enter.");
    FetchLists();
    if (kept.bSearchDue)
        Search();
}

// ---- What the page keeps while it is closed -----------------------------------

namespace
{
// The entries of the order choice, top to bottom.
constexpr EStationOrder kOrders[] = {EStationOrder::Votes, EStationOrder::ClickCount,
                                     EStationOrder::Name};

DirectoryPageState::Filter FilterOf(const wxChoice* choice, const std::vector<std::string>& codes)
{
    const int selected = choice->GetSelection();
    if (selected <= 0 || static_cast<size_t>(selected) >= codes.size())
        return {};
    return {codes[static_cast<size_t>(selected)], choice->GetString(selected).utf8_string()};
}

// The filter's entry, on its own until the list of its kind arrives (which
// keeps the entry chosen).
void ShowFilter(wxChoice* choice, std::vector<std::string>& codes,
                const DirectoryPageState::Filter& filter)
{
    if (filter.code.empty())
        return;
    codes.push_back(filter.code);
    choice->SetSelection(static_cast<int>(choice->Append(wxString::FromUTF8(filter.label))));
}
} // namespace

DirectoryPageState CStationDirectoryView::StateOfPage() const
{
    DirectoryPageState state;
    state.searchText = m_pSearchBox->GetValue().utf8_string();
    state.country = FilterOf(m_pCountry, m_countryCodes);
    state.language = FilterOf(m_pLanguage, m_languageCodes);
    state.tag = FilterOf(m_pTag, m_tagCodes);
    state.order = CurrentSearch().order;
    state.bShowBroken = m_pShowBroken->GetValue();
    state.results = m_pResults->GetStations();
    state.selectedRow = m_pResults->GetSelectedRow();
    state.statusLine = GetStatusLine().utf8_string();
    state.bSearchDue = m_bSearching || m_typingTimer.IsRunning();
    return state;
}

void CStationDirectoryView::ShowState(const DirectoryPageState& state)
{
    // ChangeValue: the text shown is not typing, nothing is searched for it.
    m_pSearchBox->ChangeValue(wxString::FromUTF8(state.searchText));
    m_pSearchBox->SetInsertionPointEnd();
    ShowFilter(m_pCountry, m_countryCodes, state.country);
    ShowFilter(m_pLanguage, m_languageCodes, state.language);
    ShowFilter(m_pTag, m_tagCodes, state.tag);
    const auto order = std::find(std::begin(kOrders), std::end(kOrders), state.order);
    m_pOrder->SetSelection(
        order == std::end(kOrders) ? 0 : static_cast<int>(order - std::begin(kOrders)));
    m_pShowBroken->SetValue(state.bShowBroken);
    m_pResults->ShowStations(state.results);
    if (state.selectedRow >= 0)
        m_pResults->SelectAndFocus(state.selectedRow);
    ShowStatus(wxString::FromUTF8(state.statusLine));
}

// ---- The filters -------------------------------------------------------------

void CStationDirectoryView::FetchLists()
{
    const struct
    {
        EDirectoryFacet kind;
        wxChoice* choice;
        std::vector<std::string>* codes;
        const char* any;
        size_t nMost;
    } lists[] = {
        {EDirectoryFacet::Countries, m_pCountry, &m_countryCodes, "Any country", kMostCountries},
        {EDirectoryFacet::Languages, m_pLanguage, &m_languageCodes, "Any language", kMostLanguages},
        {EDirectoryFacet::Tags, m_pTag, &m_tagCodes, "Any tag", kMostTags},
    };
    for (const auto& list : lists)
    {
        ++m_nListsOnTheirWay;
        m_pClient->Facets(list.kind, list.nMost,
                          [this, list](const FacetsAnswer& answer)
                          {
                              --m_nListsOnTheirWay;
                              FillChoice(list.choice, *list.codes, list.any, answer);
                          });
    }
}

void CStationDirectoryView::FillChoice(wxChoice* choice, std::vector<std::string>& codes,
                                       const wxString& any, const FacetsAnswer& answer)
{
    if (!answer.error.empty())
    {
        // A search says the same; before the first, the line says it (after
        // one, the line keeps what the search found, or why it found nothing).
        if (!m_bSearched)
            ShowStatus(wxString::FromUTF8(answer.error));
        return;
    }
    // The client has left the most used few, ordered by name.
    const std::vector<DirectoryFacet>& facets = answer.facets;
    const std::string chosen = codes[static_cast<size_t>(std::max(0, choice->GetSelection()))];
    wxArrayString names;
    names.Add(any);
    codes.assign(1, std::string());
    for (const DirectoryFacet& facet : facets)
    {
        names.Add(wxString::Format("%s (%lld)", wxString::FromUTF8(facet.name),
                                   static_cast<long long>(facet.stationCount)));
        codes.push_back(facet.code);
    }
    choice->Freeze();
    choice->Set(names);
    const auto found = std::find(codes.begin(), codes.end(), chosen);
    choice->SetSelection(found == codes.end() ? 0 : static_cast<int>(found - codes.begin()));
    choice->Thaw();
}

void CStationDirectoryView::OnFilterChanged(wxCommandEvent& /*event*/)
{
    Search();
}

// ---- Searching -----------------------------------------------------------------

StationSearch CStationDirectoryView::CurrentSearch() const
{
    auto codeOf = [](const wxChoice* choice, const std::vector<std::string>& codes)
    {
        const int selected = choice->GetSelection();
        return selected > 0 && static_cast<size_t>(selected) < codes.size()
                   ? codes[static_cast<size_t>(selected)]
                   : std::string();
    };
    StationSearch search;
    search.name = m_pSearchBox->GetValue().Trim().Trim(false).utf8_string();
    search.countryCode = codeOf(m_pCountry, m_countryCodes);
    search.language = codeOf(m_pLanguage, m_languageCodes);
    search.tag = codeOf(m_pTag, m_tagCodes);
    const int order = m_pOrder->GetSelection();
    search.order = order > 0 && order < static_cast<int>(std::size(kOrders)) ? kOrders[order]
                                                                             : EStationOrder::Votes;
    search.hideBroken = !m_pShowBroken->GetValue();
    search.limit = kSearchLimit;
    return search;
}

void CStationDirectoryView::Search()
{
    m_typingTimer.Stop();
    m_bSearching = m_bSearched = true;
    ShowStatus("Searching the station directory...");
    m_pClient->Search(CurrentSearch(),
                      [this](const StationsAnswer& answer)
                      {
                          m_bSearching = false;
                          m_pResults->ShowStations(answer.stations);
                          if (!answer.error.empty())
                              ShowStatus(wxString::FromUTF8(answer.error));
                          else if (answer.stations.empty())
                              ShowStatus("No station matches.");
                          else if (answer.stations.size() == 1)
                              ShowStatus("1 station.");
                          else
                              ShowStatus(wxString::Format("%zu stations.", answer.stations.size()));
                      });
}

void CStationDirectoryView::OnSearchText(wxCommandEvent& /*event*/)
{
    m_typingTimer.StartOnce(kTypingPauseMs);
}

void CStationDirectoryView::OnTypingPaused(wxTimerEvent& /*event*/)
{
    Search();
}

void CStationDirectoryView::OnSearchEnter(wxCommandEvent& /*event*/)
{
    Search();
}

void CStationDirectoryView::OnSearchKeyDown(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_DOWN && !event.HasAnyModifiers() &&
        m_pResults->GetItemCount() > 0)
    {
        m_pResults->SetFocus();
        m_pResults->SelectAndFocus(0);
        return;
    }
    event.Skip();
}

// ---- Playing ----------------------------------------------------------------------

void CStationDirectoryView::OnResultActivated(wxListEvent& /*event*/)
{
    PlaySelected();
}

void CStationDirectoryView::OnPlay(wxCommandEvent& /*event*/)
{
    PlaySelected();
}

void CStationDirectoryView::PlaySelected()
{
    const DirectoryStation* station = m_pResults->GetSelectedStation();
    CPlaybackSession* playback = CPlaybackSession::Program();
    if (!station || !playback)
        return;
    if (!station->uuid.empty())
        CountPlay(m_pSession, station->uuid);
    // The program's playback session plays the station as its chosen
    // channel, and brings the radio page up, so the status bar, the tray and
    // the desktop's media controls show it as they show any channel.
    playback->Request(
        PlayRequest{{}, wxString::FromUTF8(station->name), wxString::FromUTF8(station->url)});
}

// ---- Keeping ----------------------------------------------------------------------

CChannelRecord CStationDirectoryView::ChannelOf(const DirectoryStation& station)
{
    // The directory's tags are the channel's group; where it comes from and
    // its language are what the channel is about.
    CChannelRecord channel =
        CMyChannels::MakeChannel(station.name, station.url, false, station.tags);
    std::string about = station.country.empty() ? station.countryCode : station.country;
    if (!station.language.empty())
        about += (about.empty() ? "" : "; ") + station.language;
    channel.SetField(CChannelRecord::kField5, wxString::FromUTF8(about));
    return channel;
}

bool CStationDirectoryView::AddSelectedToMyChannels()
{
    const DirectoryStation* station = m_pResults->GetSelectedStation();
    if (!station)
    {
        ShowStatus("Select a station to add it to My Channels.");
        return false;
    }
    const wxString name = wxString::FromUTF8(station->name);
    // The radio page is closed while this one shows: My channels are read
    // from their file, added to and written back.
    CMyChannels myChannels;
    if (!myChannels.Load())
    {
        platform::MessageBox("My channels could not be read from " +
                                 wxString::FromUTF8(myChannels.Path()) + ".",
                             "Wavecrest by Tolvane", wxOK | wxICON_ERROR, GetChildFrame());
        return false;
    }
    if (myChannels.Find(station->url) >= 0)
    {
        ShowStatus(name + " is in My Channels already.");
        return false;
    }
    if (!myChannels.Add(ChannelOf(*station)))
    {
        ShowStatus(name + " cannot be kept: the player does not open its address.");
        return false;
    }
    if (!myChannels.Save())
    {
        platform::MessageBox("My channels could not be saved to " +
                                 wxString::FromUTF8(myChannels.Path()) + ".",
                             "Wavecrest by Tolvane", wxOK | wxICON_ERROR, GetChildFrame());
        return false;
    }
    ShowStatus(name + " was added to My Channels.");
    return true;
}

void CStationDirectoryView::OnAddToMyChannels(wxCommandEvent& /*event*/)
{
    AddSelectedToMyChannels();
}

void CStationDirectoryView::OnPageCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == 'D' && event.GetModifiers() == wxMOD_CONTROL)
    {
        AddSelectedToMyChannels();
        return;
    }
    event.Skip();
}

// ---- The line at the bottom ----------------------------------------------------------

void CStationDirectoryView::ShowStatus(const wxString& text)
{
    m_pStatus->SetLabelText(text);
}

wxString CStationDirectoryView::GetStatusLine() const
{
    return m_pStatus->GetLabelText();
}

bool CStationDirectoryView::OnClose(bool deleteWindow)
{
    if (m_pSession && m_pSearchBox)
        m_pSession->KeepPageState(StateOfPage());
    m_typingTimer.Stop();
    // The page's windows may outlive the view by a moment.
    if (GetChildFrame())
        GetChildFrame()->Unbind(wxEVT_CHAR_HOOK, &CStationDirectoryView::OnPageCharHook, this);
    // Nothing under way reaches the page once it is closing.
    m_pClient.reset();
    return CPageView::OnClose(deleteWindow);
}
