// The station-directory page in the real application, against a loopback
// server that answers as the directory does, with a mirror before it that is
// down; a station played goes to the radio page's real player, which plays a
// loopback stream (its sound goes to a file).

#include "../directory/DirectoryTestServer.h"

#include "catalogue/DataFolder.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "directory/DirectorySession.h"
#include "directorypage/DirectoryListCtrl.h"
#include "directorypage/StationDirectoryView.h"
#include "frame/CustomMFCRibbonBar.h"
#include "frame/MainFrame.h"
#include "platform/Messages.h"
#include "player/StreamServerProcess.h"
#include "player/WMPPlayer4.h"
#include "playlists/MyChannels.h"
#include "radio/WavecrestView.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{
constexpr int kDirectoryCategory = 4;
const std::string kJazzAmAbend = "9a1c0b6e-0002-4000-8000-000000000002";

CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

wxView* CurrentView()
{
    return wxDocManager::GetDocumentManager()->GetCurrentView();
}

CStationDirectoryView* Page()
{
    return dynamic_cast<CStationDirectoryView*>(CurrentView());
}

CWavecrestView* RadioView()
{
    return dynamic_cast<CWavecrestView*>(CurrentView());
}

std::vector<std::string> ResultNames()
{
    std::vector<std::string> names;
    for (const DirectoryStation& station : Page()->GetResults()->GetStations())
        names.push_back(station.name);
    return names;
}

// As a person's choice in the list: the selection, then its event.
void Choose(wxChoice* choice, int index)
{
    choice->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetEventObject(choice);
    event.SetInt(index);
    choice->GetEventHandler()->ProcessEvent(event);
}

int IndexOf(wxChoice* choice, const wxString& start)
{
    for (unsigned i = 0; i < choice->GetCount(); ++i)
        if (choice->GetString(i).StartsWith(start))
            return static_cast<int>(i);
    return -1;
}

void PressKey(wxWindow* window, int key)
{
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = key;
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

class DirectoryPage : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pStreams = std::make_unique<CStreamServerProcess>();
        s_pDirectory = std::make_unique<CDirectoryTestServer>(s_pStreams->Address());
        const std::string sound = std::string(std::getenv("HOME")) + "/sound.wav";
        setenv("WAVECREST_PLAYER_OPTIONS", ("ao=pcm;ao-pcm-file=" + sound).c_str(), 1);
    }
    static void TearDownTestSuite()
    {
        Frame()->OpenCategoryPage(1);
        PumpEvents();
        CDirectorySession::ReplaceProgram(nullptr);
        s_pDirectory.reset();
        s_pStreams.reset();
    }

    // Opens the page, as a click on its tab does, on a session of the servers given.
    void OpenPage(std::vector<std::string> servers, const DirectoryLimits& limits = {})
    {
        m_pSession = std::make_shared<CDirectorySession>([servers] { return servers; });
        m_pSession->SetLimits(limits);
        CDirectorySession::ReplaceProgram(m_pSession);
        Frame()->OpenCategoryPage(1); // a fresh page, whatever was open
        PumpEvents();
        ASSERT_TRUE(Frame()->GetRibbonBar()->ActivateCategory(kDirectoryCategory));
        ASSERT_TRUE(WaitUntil([] { return Page() != nullptr; }));
    }

    void SearchFor(const wxString& text)
    {
        Page()->GetSearchBox()->ChangeValue(text);
        Page()->Search();
        ASSERT_TRUE(WaitUntil([] { return !Page()->IsSearching(); }, 20000))
            << Page()->GetStatusLine();
    }

    static std::unique_ptr<CStreamServerProcess> s_pStreams;
    static std::unique_ptr<CDirectoryTestServer> s_pDirectory;
    std::shared_ptr<CDirectorySession> m_pSession;
    // The radio page's start refresh fails (no station-list server): its box is answered.
    CModalRecorder m_modals{[](const platform::ModalRequest& request) -> std::optional<int>
                            {
                                if (request.kind == platform::ModalRequest::Kind::Dialog)
                                    return std::nullopt;
                                return wxOK;
                            }};
};

std::unique_ptr<CStreamServerProcess> DirectoryPage::s_pStreams;
std::unique_ptr<CDirectoryTestServer> DirectoryPage::s_pDirectory;
} // namespace

TEST_F(DirectoryPage, SearchesByTypingWithFiltersAndOrderPastTheDeadMirror)
{
    const std::string dead = DeadServerAddress();
    OpenPage({dead, s_pDirectory->Address()});
    EXPECT_EQ(wxWindow::FindFocus(), Page()->GetSearchBox()) << "the search box has the focus";
    // The lists came from the server that answers; the dead one is tried last from now on.
    ASSERT_TRUE(WaitUntil([] { return Page()->ListsOnTheirWay() == 0; }, 20000));
    EXPECT_EQ(Page()->GetCountryChoice()->GetCount(), 5u);
    EXPECT_EQ(m_pSession->Servers().back(), dead);

    // Typing, then a pause: the search runs by itself, once.
    const int searchesBefore = s_pDirectory->CountRequests("/json/stations/search");
    Page()->GetSearchBox()->SetValue("ja");
    Page()->GetSearchBox()->SetValue("jazz");
    ASSERT_TRUE(WaitUntil([] { return Page()->GetResults()->GetItemCount() == 2; }, 20000))
        << Page()->GetStatusLine();
    EXPECT_EQ(ResultNames(), (std::vector<std::string>{"Blue Note Jazz Radio", "Jazz am Abend"}));
    EXPECT_EQ(Page()->GetStatusLine(), "2 stations.");
    EXPECT_EQ(s_pDirectory->CountRequests("/json/stations/search"), searchesBefore + 1);
    EXPECT_EQ(Page()->GetResults()->GetItemText(0, CDirectoryListCtrl::kFormat), "MP3 128 kbit/s");

    // Most clicks, with the stations that failed their check.
    Page()->GetShowBrokenBox()->SetValue(true);
    Choose(Page()->GetOrderChoice(), 1);
    ASSERT_TRUE(WaitUntil([] { return Page()->GetResults()->GetItemCount() == 3; }, 20000));
    EXPECT_EQ(ResultNames(), (std::vector<std::string>{"Acid Jazz Broken", "Jazz am Abend",
                                                       "Blue Note Jazz Radio"}));
    // A country, then a tag, narrow it.
    Choose(Page()->GetCountryChoice(), IndexOf(Page()->GetCountryChoice(), "Germany"));
    ASSERT_TRUE(WaitUntil([] { return Page()->GetResults()->GetItemCount() == 1; }, 20000));
    EXPECT_EQ(ResultNames(), (std::vector<std::string>{"Jazz am Abend"}));
    Choose(Page()->GetTagChoice(), IndexOf(Page()->GetTagChoice(), "bebop"));
    ASSERT_TRUE(WaitUntil([] { return Page()->GetStatusLine() == "No station matches."; }, 20000));
    // The page closes and opens again with the filters chosen.
    Frame()->OpenCategoryPage(1);
    PumpEvents();
    ASSERT_TRUE(Frame()->GetRibbonBar()->ActivateCategory(kDirectoryCategory));
    ASSERT_TRUE(WaitUntil([] { return Page() != nullptr && Page()->ListsOnTheirWay() == 0; }));
    EXPECT_TRUE(Page()->GetCountryChoice()->GetStringSelection().StartsWith("Germany"));
    EXPECT_TRUE(Page()->GetTagChoice()->GetStringSelection().StartsWith("bebop"));
    EXPECT_EQ(Page()->GetOrderChoice()->GetSelection(), 1);
    EXPECT_TRUE(Page()->GetShowBrokenBox()->GetValue());
    EXPECT_EQ(Page()->GetStatusLine(), "No station matches.");
    EXPECT_NE(s_pDirectory->Requests().find("countrycode=DE&tag=bebop&tagExact=true&order="
                                            "clickcount&reverse=true&hidebroken=false"),
              std::string::npos);
}

TEST_F(DirectoryPage, DownThenEnterPlaysThroughTheRadioPageAndCountsThePlay)
{
    OpenPage({DeadServerAddress(), s_pDirectory->Address()});
    SearchFor("abend");
    ASSERT_EQ(ResultNames(), (std::vector<std::string>{"Jazz am Abend"}));
    PressKey(Page()->GetSearchBox(), WXK_DOWN);
    EXPECT_EQ(wxWindow::FindFocus(), Page()->GetResults());
    EXPECT_EQ(Page()->GetResults()->GetSelectedRow(), 0);

    const int clicksBefore = s_pDirectory->Clicks(kJazzAmAbend);
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, Page()->GetResults()->GetId());
    activated.SetEventObject(Page()->GetResults());
    activated.m_itemIndex = 0;
    Page()->GetResults()->GetEventHandler()->ProcessEvent(activated);

    // The radio page opens and its player plays the station's resolved address.
    const std::string stream = s_pStreams->Url("/radio/550.mp3");
    ASSERT_TRUE(WaitUntil(
        [&] { return RadioView() && RadioView()->GetPlayer()->GetURL() == stream; }, 20000));
    EXPECT_EQ(RadioView()->GetChosenChannel().strName, "Jazz am Abend");
    EXPECT_TRUE(WaitUntil([&] { return s_pStreams->RequestCount("/radio/550.mp3") > 0; }, 20000));
    EXPECT_TRUE(
        WaitUntil([&] { return s_pDirectory->Clicks(kJazzAmAbend) == clicksBefore + 1; }, 20000));
    // The status bar and the tray show the player's state as for any channel.
    EXPECT_TRUE(WaitUntil([] { return !Frame()->GetCurrentStatus().empty(); }, 20000));
    EXPECT_EQ(Frame()->GetTrayTip(), "Wavecrest by Tolvane\n" + Frame()->GetCurrentStatus());
    // A station list loaded afterwards, with auto-play on, does not replace the station.
    WriteSettingInt("AutoPlay", 1);
    WriteSettingInt("LastChannelIndex", 0);
    WriteWholeFile(GetStationListPath(),
                   StationListBytes("Type,Name,Address,Language,Genre,About,Status\n"
                                    "Radio,One," +
                                    s_pStreams->Url("/radio/440.mp3") + ",en,Pop,First,ON\n"));
    platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
    ASSERT_TRUE(WaitUntil([] { return !RadioView()->IsReloading(); }));
    PumpEvents();
    EXPECT_EQ(RadioView()->GetPlayer()->GetURL(), stream);
    WriteSettingInt("AutoPlay", 0);

    // Back on the directory's page, the search is as it was left.
    ASSERT_TRUE(Frame()->GetRibbonBar()->ActivateCategory(kDirectoryCategory));
    ASSERT_TRUE(WaitUntil([] { return Page() != nullptr; }));
    EXPECT_EQ(Page()->GetSearchBox()->GetValue(), "abend");
    EXPECT_EQ(ResultNames(), (std::vector<std::string>{"Jazz am Abend"}));
    EXPECT_EQ(Page()->GetResults()->GetSelectedRow(), 0);
    EXPECT_EQ(Page()->GetStatusLine(), "1 station.");
    EXPECT_EQ(wxWindow::FindFocus(), Page()->GetSearchBox());
}

TEST_F(DirectoryPage, CtrlDAndTheRibbonButtonKeepTheSelectedStationInMyChannelsOnce)
{
    std::remove(CMyChannels::DefaultPath().c_str());
    OpenPage({s_pDirectory->Address()});
    SearchFor("abend");
    ASSERT_EQ(ResultNames(), (std::vector<std::string>{"Jazz am Abend"}));
    PressKey(Page()->GetSearchBox(), WXK_DOWN);

    // Ctrl+D where the person is, in the results.
    wxKeyEvent ctrlD(wxEVT_CHAR_HOOK);
    ctrlD.m_keyCode = 'D';
    ctrlD.m_controlDown = true;
    ctrlD.SetEventObject(Page()->GetResults());
    Page()->GetResults()->GetEventHandler()->ProcessEvent(ctrlD);
    EXPECT_EQ(Page()->GetStatusLine(), "Jazz am Abend was added to My Channels.");

    CMyChannels kept;
    ASSERT_TRUE(kept.Load());
    ASSERT_EQ(kept.GetCount(), 1);
    const CChannelRecord& channel = kept.GetAt(0);
    EXPECT_EQ(channel.GetType(), "Radio");
    EXPECT_EQ(channel.GetName(), "Jazz am Abend");
    EXPECT_EQ(channel.GetUrl(), wxString(s_pStreams->Url("/radio/550.mp3")));
    EXPECT_TRUE(channel.GetField4().Contains("smooth jazz")) << channel.GetField4();
    EXPECT_EQ(channel.GetField5(), "Germany; german");

    // The ribbon's button on the same station adds nothing twice.
    platform::PostCommand(Page(), wc::ID_ADD_TO_MY_CHANNELS);
    PumpEvents();
    EXPECT_EQ(Page()->GetStatusLine(), "Jazz am Abend is in My Channels already.");
    ASSERT_TRUE(kept.Load());
    EXPECT_EQ(kept.GetCount(), 1);

    // The radio page lists it among the person's own channels.
    Frame()->OpenCategoryPage(0);
    ASSERT_TRUE(WaitUntil([] { return RadioView() != nullptr; }));
    EXPECT_EQ(RadioView()->GetMyChannels().Find(s_pStreams->Url("/radio/550.mp3")), 0);
    std::remove(CMyChannels::DefaultPath().c_str());
}

struct BadDirectory
{
    const char* name;
    std::string mode; // the hostile answers of the server; "" for a dead server
    const char* text; // part of the line the page shows
};

class DirectoryPageAnswers : public DirectoryPage,
                             public ::testing::WithParamInterface<BadDirectory>
{
};

TEST_P(DirectoryPageAnswers, TheLineSaysWhatWentWrongAndNothingElseChanges)
{
    const BadDirectory& bad = GetParam();
    DirectoryLimits quick;
    quick.stallTimeout = std::chrono::milliseconds(1500);
    OpenPage({bad.mode.empty() ? DeadServerAddress() : s_pDirectory->Address(bad.mode)}, quick);
    SearchFor("jazz");
    EXPECT_EQ(Page()->GetResults()->GetItemCount(), 0);
    EXPECT_NE(Page()->GetStatusLine().find(bad.text), wxString::npos) << Page()->GetStatusLine();
    EXPECT_TRUE(m_modals.Requests().empty()) << "a line on the page, never a message box";
    // The rest of the program goes on: the radio page opens as ever.
    Frame()->GetRibbonBar()->ActivateCategory(0);
    EXPECT_TRUE(WaitUntil([] { return RadioView() != nullptr; }));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, DirectoryPageAnswers,
    ::testing::Values(BadDirectory{"NoNetwork", "", "The station directory cannot be reached"},
                      BadDirectory{"Truncated", "truncated", "not valid JSON"},
                      BadDirectory{"WrongTypes", "wrongtypes", "no station that can be played"},
                      BadDirectory{"Huge", "huge", "too large (over 4 MiB)"},
                      BadDirectory{"Stalling", "stall", "stopped sending"}),
    [](const ::testing::TestParamInfo<BadDirectory>& info) { return info.param.name; });
