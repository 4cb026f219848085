// The radio page in the real application: the list built from a station
// list, auto-play, the playback commands and the status text, with the real
// player playing loopback streams (its sound goes to a file).

#include "catalogue/DataFolder.h"
#include "catalogue/StationList.h"
#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "frame/CustomMFCRibbonBar.h"
#include "frame/MainFrame.h"
#include "player/StreamServerProcess.h"
#include "player/WMPPlayer4.h"
#include "playlists/MyChannels.h"
#include "radio/ChannelListCtrl.h"
#include "radio/WavecrestView.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"
#include "support/XKeyGrabber.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace
{
CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

CWavecrestView* RadioView()
{
    return dynamic_cast<CWavecrestView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}

CChannelListCtrl* List()
{
    return RadioView()->GetChannelList();
}

std::vector<std::string> Column(int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < List()->GetItemCount(); ++row)
        texts.push_back(List()->GetItemText(row, column).utf8_string());
    return texts;
}

// The pixels the screen shows of a window, read from the X server.
std::vector<unsigned long> ScreenPixels(const wxWindow* window)
{
    const wxRect rect = window->GetScreenRect().Intersect(wxRect(wxGetDisplaySize()));
    std::vector<unsigned long> pixels;
    if (rect.IsEmpty())
        return pixels;
    Display* display = gdk_x11_get_default_xdisplay();
    XImage* image = XGetImage(display, DefaultRootWindow(display), rect.x, rect.y,
                              static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height),
                              AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    for (int y = 0; y < rect.height; ++y)
        for (int x = 0; x < rect.width; ++x)
            pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return pixels;
}

class RadioPage : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pStreams = std::make_unique<CStreamServerProcess>();
        s_strSound = std::string(std::getenv("HOME")) + "/sound.wav";
        const std::string options = "ao=pcm;ao-pcm-file=" + s_strSound;
        setenv("WAVECREST_PLAYER_OPTIONS", options.c_str(), 1);
        // A page opened now has a player with those options.
        Frame()->OpenCategoryPage(0);
        PumpEvents();
    }
    static void TearDownTestSuite()
    {
        Frame()->OpenCategoryPage(1);
        PumpEvents();
        s_pStreams.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_pStreams->IsRunning());
        if (!RadioView())
        {
            Frame()->OpenCategoryPage(0);
            PumpEvents();
        }
        ASSERT_NE(RadioView(), nullptr);
        WriteSettingInt("AutoPlay", 0);
        // As a settings file from before the address was kept beside the index.
        WriteSettingText(setting::LastChannelAddress, "");
    }

    // Puts a station list where a download leaves it and has the page reload it.
    void Reload(const std::string& lines)
    {
        WriteWholeFile(GetStationListPath(), StationListBytes(lines));
        platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
        PumpEvents();
    }

    std::string Stream(int hz) const
    {
        return s_pStreams->Url("/radio/" + std::to_string(hz) + ".mp3");
    }

    std::string FourChannels() const
    {
        return "Type,Name,Address,Language,Genre,About,Status\n"
               "Radio,One," +
               Stream(440) +
               ",en,Pop,First,ON\n"
               "Radio,Two," +
               Stream(523) +
               ",en,Jazz,Second,OFF\n"
               "TV,Three," +
               Stream(659) +
               ",de,News,Third,off\n"
               "Radio,Four," +
               Stream(880) + ",fr,Rock,Fourth,\n";
    }

    bool PlayerIsOn(const std::string& url)
    {
        return WaitUntil([&] { return RadioView()->GetPlayer()->GetURL() == url; }, 10000);
    }

    static std::unique_ptr<CStreamServerProcess> s_pStreams;
    static std::string s_strSound;
    CModalRecorder m_modals{[](const platform::ModalRequest& request) -> std::optional<int>
                            {
                                if (request.kind == platform::ModalRequest::Kind::Dialog)
                                    return std::nullopt; // the download dialog runs for real
                                return wxOK;
                            }};
};

std::unique_ptr<CStreamServerProcess> RadioPage::s_pStreams;
std::string RadioPage::s_strSound;
} // namespace

TEST_F(RadioPage, ShowsTheColumnsOfTheHeaderAndNumbersTheWorkingChannels)
{
    Reload(FourChannels());
    ASSERT_EQ(List()->GetColumnCount(), 5);
    std::vector<std::string> titles;
    for (int column = 0; column < 5; ++column)
    {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        List()->GetColumn(column, item);
        titles.push_back(item.GetText().utf8_string());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Sr No", "Name", "About", "Genre", "Address"}));
    EXPECT_EQ(List()->GetColumnWidth(4), 0) << "the address column is hidden";
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"One", "Three", "Four"}))
        << "'OFF' is left out, 'off' is not";
    EXPECT_EQ(Column(2), (std::vector<std::string>{"First", "Third", "Fourth"}));
    EXPECT_EQ(Column(4)[2], Stream(880));
    EXPECT_FALSE(std::ifstream(GetStationListPath()).good()) << "the load uses the file up";
}

TEST_F(RadioPage, ShowsNonWorkingChannelsWhenAskedTo)
{
    WriteSettingInt("DisplayNonWorkingChannels", 1);
    Reload(FourChannels());
    WriteSettingInt("DisplayNonWorkingChannels", 0);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"One", "Two", "Three", "Four"}));
}

TEST_F(RadioPage, AReloadWithoutAFileKeepsTheRowsAndColumns)
{
    Reload(FourChannels());
    platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
    EXPECT_EQ(List()->GetColumnCount(), 5);
    EXPECT_EQ(List()->GetItemCount(), 3);
}

TEST_F(RadioPage, AHeaderAloneGivesFiveColumnsAndNoRows)
{
    WriteSettingInt("AutoPlay", 1);
    Reload("Type,Name,Address,Language,Genre,About,Status\n");
    EXPECT_EQ(List()->GetColumnCount(), 5);
    EXPECT_EQ(List()->GetItemCount(), 0);
    EXPECT_EQ(List()->GetSelectedRow(), -1);
}

TEST_F(RadioPage, AutoPlayPlaysTheRememberedRowAfterAReload)
{
    WriteSettingInt("AutoPlay", 1);
    WriteSettingInt("LastChannelIndex", 2);
    Reload(FourChannels());
    EXPECT_EQ(List()->GetSelectedRow(), 2);
    EXPECT_TRUE(PlayerIsOn(Stream(880)));
    EXPECT_EQ(GetSettingInt("LastChannelIndex", -1), 2);
}

TEST_F(RadioPage, AutoPlaySelectsNothingForARowThatIsNotThereOrWhenSwitchedOff)
{
    for (const auto& [autoPlay, index] : std::vector<std::pair<int, int>>{{1, 3}, {1, -1}, {2, 0}})
    {
        WriteSettingInt("AutoPlay", autoPlay);
        WriteSettingInt("LastChannelIndex", index);
        CMessageRecorder recorder;
        Reload(FourChannels());
        EXPECT_EQ(List()->GetSelectedRow(), -1) << autoPlay << " " << index;
        EXPECT_EQ(recorder.Count(wc::ID_PLAY), 0);
    }
}

TEST_F(RadioPage, AutoPlayPlaysTheOwnChannelPlayedLastAsThePageOpensAndTheListLeavesItPlaying)
{
    CMyChannels& mine = RadioView()->GetMyChannels(); // until the page is opened anew
    ASSERT_TRUE(mine.Add(CMyChannels::MakeChannel("Mine", Stream(784), false)));
    ASSERT_TRUE(RadioView()->MyChannelsChanged());
    Reload(FourChannels());
    List()->SelectAndFocus(3);
    ASSERT_TRUE(PlayerIsOn(Stream(784)));

    // The page opens again without a station list (its download fails):
    // the channel plays at once.
    WriteSettingInt("AutoPlay", 1);
    Frame()->OpenCategoryPage(1);
    PumpEvents();
    Frame()->OpenCategoryPage(0);
    PumpEvents();
    ASSERT_NE(RadioView(), nullptr);
    EXPECT_EQ(List()->GetSelectedRow(), 0);
    EXPECT_TRUE(PlayerIsOn(Stream(784)));
    const std::string path = "/radio/784.mp3";
    ASSERT_TRUE(WaitUntil([&] { return s_pStreams->RequestCount(path) > 0; }, 10000));
    ASSERT_TRUE(WaitUntil(
        [&] { return RadioView()->GetPlayer()->GetPlayState() == CPlayerStatus::EState::Playing; },
        10000));

    // The list that comes later selects its row again, and it plays on.
    const int requests = s_pStreams->RequestCount(path);
    Reload(FourChannels());
    EXPECT_EQ(List()->GetSelectedRow(), 3);
    EXPECT_EQ(GetSettingInt("LastChannelIndex", -1), 3);
    EXPECT_EQ(s_pStreams->RequestCount(path), requests);
    EXPECT_EQ(RadioView()->GetPlayer()->GetURL(), Stream(784));

    // My channels of the page opened anew (the first page's went with it).
    RadioView()->GetMyChannels().Remove(0);
    ASSERT_TRUE(RadioView()->MyChannelsChanged());
}

TEST_F(RadioPage, AListOverTheLimitShowsItsFirstChannelsAndSaysTheRestWereLeftOut)
{
    WriteSettingInt("AutoPlay", 1);
    WriteSettingInt("LastChannelIndex", CStationList::kMaxChannels - 1);
    std::string lines = "Type,Name,Address,Language,Genre,About,Status\n";
    for (int i = 0; i < CStationList::kMaxChannels; ++i)
        lines += "Radio,c" + std::to_string(i) + "," + Stream(440) + ",,,,\n";
    lines += "Radio,one too many," + Stream(523) + ",,,,\n";
    WriteWholeFile(GetStationListPath(), StationListBytes(lines));
    lines.clear();
    platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
    // Read a slice at a time; the rows appear once the whole list is in.
    ASSERT_TRUE(WaitUntil([] { return !RadioView()->IsReloading(); }, 60000));
    ASSERT_EQ(List()->GetItemCount(), CStationList::kMaxChannels);
    EXPECT_EQ(List()->GetItemText(CStationList::kMaxChannels - 1, 1), "c499999");
    EXPECT_EQ(List()->GetSelectedRow(), CStationList::kMaxChannels - 1) << "auto-play";
    // Also once the player has said what it does.
    EXPECT_TRUE(PlayerIsOn(Stream(440)));
    EXPECT_TRUE(
        WaitUntil([] { return !RadioView()->GetPlayer()->GetStatusText().empty(); }, 10000));
    EXPECT_TRUE(Frame()->GetTrayTip().Contains(
        "Only the first 500,000 channels are listed; the rest were left out."))
        << Frame()->GetTrayTip();
    EXPECT_FALSE(std::ifstream(GetStationListPath()).good());
    WriteSettingInt("AutoPlay", 0);
    Reload(FourChannels()); // a list of ordinary size is read at once
    EXPECT_EQ(List()->GetItemCount(), 3);
    EXPECT_FALSE(Frame()->GetTrayTip().Contains("left out")) << Frame()->GetTrayTip();
    EXPECT_FALSE(Frame()->GetTrayTip().Contains("left out")) << Frame()->GetTrayTip();
}

TEST_F(RadioPage, PlayWithoutASelectionPlaysTheFirstRow)
{
    Reload(FourChannels());
    platform::SendCommand(Frame(), wc::ID_PLAY);
    PumpEvents();
    EXPECT_EQ(List()->GetSelectedRow(), 0);
    EXPECT_TRUE(PlayerIsOn(Stream(440)));
    EXPECT_EQ(GetSettingInt("LastChannelIndex", -1), 0);
}

TEST_F(RadioPage, NextAndPreviousWrapAroundTheRows)
{
    Reload(FourChannels());
    platform::SendCommand(Frame(), wc::ID_PLAY_NEXT); // nothing selected: the first row
    PumpEvents();
    EXPECT_EQ(List()->GetSelectedRow(), 0);
    platform::SendCommand(Frame(), wc::ID_PLAY_PREVIOUS); // before the first: the last
    PumpEvents();
    EXPECT_EQ(List()->GetSelectedRow(), 2);
    EXPECT_TRUE(PlayerIsOn(Stream(880)));
    platform::SendCommand(Frame(), wc::ID_TRAY_PLAY_NEXT); // after the last: the first
    PumpEvents();
    EXPECT_EQ(List()->GetSelectedRow(), 0);
    EXPECT_TRUE(PlayerIsOn(Stream(440)));
    EXPECT_EQ(GetSettingInt("LastChannelIndex", -1), 0);

    Reload(FourChannels());
    platform::SendCommand(Frame(), wc::ID_TRAY_PLAY_PREVIOUS); // nothing selected: the last
    PumpEvents();
    EXPECT_EQ(List()->GetSelectedRow(), 2);
}

TEST_F(RadioPage, TheFindBoxShowsTheMatchingRowsOfBothListsWithTheirPlaceInTheWholeList)
{
    Reload(FourChannels());
    CMyChannels& mine = RadioView()->GetMyChannels();
    struct Cleanup
    {
        CMyChannels& mine;
        ~Cleanup()
        {
            while (mine.GetCount() > 0)
                mine.Remove(0);
            RadioView()->GetFindBox()->SetValue(wxString());
            RadioView()->MyChannelsChanged();
        }
    } cleanup{mine};
    ASSERT_TRUE(mine.Add(
        CMyChannels::MakeChannel("Caf\xC3\xA9 \xC3\x96lfeld", Stream(784), true, "Oldies")));
    ASSERT_TRUE(mine.Add(CMyChannels::MakeChannel("Fourier", Stream(988), false)));
    ASSERT_TRUE(RadioView()->MyChannelsChanged());
    using Texts = std::vector<std::string>;
    EXPECT_EQ(Column(1), (Texts{"One", "Three", "Four", "Caf\xC3\xA9 \xC3\x96lfeld", "Fourier"}));

    // Without regard to case or accents, in the name or another shown column.
    wxTextCtrl* find = RadioView()->GetFindBox();
    find->SetValue("CAFE OLF");
    EXPECT_EQ(Column(1), (Texts{"Caf\xC3\xA9 \xC3\x96lfeld"}));
    EXPECT_EQ(Column(0), (Texts{"4"})); // its number in the whole list
    find->SetValue("oldies");
    EXPECT_EQ(Column(1), (Texts{"Caf\xC3\xA9 \xC3\x96lfeld"}));

    // Enter plays the first row shown; the index remembered is the channel's
    // in the whole list.
    wxCommandEvent enter(wxEVT_TEXT_ENTER, find->GetId());
    enter.SetEventObject(find);
    find->GetEventHandler()->ProcessEvent(enter);
    PumpEvents();
    EXPECT_TRUE(PlayerIsOn(Stream(784)));
    EXPECT_EQ(GetSettingInt("LastChannelIndex", -1), 3);

    // Next and Previous go through the rows shown.
    find->SetValue("four");
    EXPECT_EQ(Column(1), (Texts{"Four", "Fourier"}));
    EXPECT_EQ(List()->GetSelectedRow(), -1); // the channel playing is not among them
    platform::SendCommand(Frame(), wc::ID_PLAY_NEXT);
    PumpEvents();
    EXPECT_TRUE(PlayerIsOn(Stream(880)));
    platform::SendCommand(Frame(), wc::ID_PLAY_NEXT);
    PumpEvents();
    EXPECT_TRUE(PlayerIsOn(Stream(988)));
    EXPECT_EQ(GetSettingInt("LastChannelIndex", -1), 4);
    const std::string path = "/radio/880.mp3";
    const int requestsBefore = s_pStreams->RequestCount(path);
    platform::SendCommand(Frame(), wc::ID_PLAY_NEXT);
    PumpEvents();
    EXPECT_TRUE(PlayerIsOn(Stream(880)));
    EXPECT_EQ(GetSettingInt("LastChannelIndex", -1), 2);
    // Its request reaches the server a little later, on a loaded machine
    // much later.
    ASSERT_TRUE(WaitUntil([&] { return s_pStreams->RequestCount(path) > requestsBefore; }, 15000));

    // Esc empties the box; the selection stays with its channel, which plays on.
    const int requests = s_pStreams->RequestCount(path);
    wxKeyEvent escape(wxEVT_KEY_DOWN);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(find);
    find->GetEventHandler()->ProcessEvent(escape);
    PumpEvents();
    EXPECT_EQ(find->GetValue(), "");
    EXPECT_EQ(List()->GetRowCount(), 5);
    EXPECT_EQ(List()->GetSelectedRow(), 2);
    EXPECT_EQ(s_pStreams->RequestCount(path), requests);

    // Auto-play after a reload plays the remembered channel whatever is typed.
    find->SetValue("fourier");
    WriteSettingInt("AutoPlay", 1);
    WriteSettingInt("LastChannelIndex", 3);
    WriteSettingText(setting::LastChannelAddress, Stream(784));
    Reload(FourChannels());
    EXPECT_TRUE(PlayerIsOn(Stream(784)));
    EXPECT_EQ(List()->GetSelectedRow(), 3);
}

TEST_F(RadioPage, AKeystrokeThatKeepsTheNumberOfRowsDrawsTheNewRowsAsAFullRepaintWould)
{
    Reload(FourChannels());
    struct Cleanup
    {
        ~Cleanup() { RadioView()->GetFindBox()->SetValue(wxString()); }
    } cleanup;
    wxWindow* rows = List()->GetTargetWindow();
    const auto drawn = [rows]
    {
        PumpEvents();
        rows->Update();
        return ScreenPixels(rows);
    };
    wxTextCtrl* find = RadioView()->GetFindBox();
    find->SetValue("one");
    const std::vector<unsigned long> one = drawn();
    ASSERT_FALSE(one.empty());
    find->SetValue("three");
    ASSERT_EQ(Column(1), (std::vector<std::string>{"Three"}));
    const std::vector<unsigned long> three = drawn();
    EXPECT_TRUE(three != one) << "the row shown changed on the screen";
    rows->Refresh();
    EXPECT_TRUE(drawn() == three) << "a full repaint draws something else";
}

TEST_F(RadioPage, DeleteRemovesOnlyAMyChannelsRowAndOnlyAfterAsking)
{
    Reload(FourChannels());
    CMyChannels& mine = RadioView()->GetMyChannels();
    ASSERT_TRUE(mine.Add(CMyChannels::MakeChannel("Mine", Stream(784), false)));
    ASSERT_TRUE(RadioView()->MyChannelsChanged());
    int answer = wxNO;
    CModalRecorder answers([&](const platform::ModalRequest&) -> std::optional<int>
                           { return answer; });
    const auto pressDelete = []
    {
        wxListEvent key(wxEVT_LIST_KEY_DOWN, List()->GetId());
        key.SetKeyCode(WXK_DELETE);
        key.SetEventObject(List());
        List()->GetEventHandler()->ProcessEvent(key);
        PumpEvents();
    };
    using Texts = std::vector<std::string>;
    List()->SelectAndFocus(0); // a station-list row
    PumpEvents();
    pressDelete();
    EXPECT_TRUE(answers.Requests().empty());
    EXPECT_EQ(Column(1), (Texts{"One", "Three", "Four", "Mine"}));

    List()->SelectAndFocus(3);
    PumpEvents();
    pressDelete(); // answered No
    ASSERT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(answers.Requests()[0].text, "Remove \"Mine\" from My channels?");
    EXPECT_EQ(Column(1), (Texts{"One", "Three", "Four", "Mine"}));
    answer = wxYES;
    pressDelete();
    EXPECT_EQ(Column(1), (Texts{"One", "Three", "Four"}));
    EXPECT_EQ(mine.GetCount(), 0);
    EXPECT_EQ(ReadWholeFile(mine.Path()), "Type,Channel,Address,Logo,Group,About,Status\n");
}

TEST_F(RadioPage, NextAndPreviousDoNothingWithOneRow)
{
    Reload("Type,Name,Address,Language,Genre,About,Status\nRadio,Only," + Stream(440) +
           ",en,Pop,Alone,\n");
    CMessageRecorder recorder;
    platform::SendCommand(Frame(), wc::ID_PLAY_NEXT);
    platform::SendCommand(Frame(), wc::ID_PLAY_PREVIOUS);
    PumpEvents();
    EXPECT_EQ(List()->GetSelectedRow(), -1);
    EXPECT_EQ(recorder.Count(wc::ID_PLAY), 0);
}

TEST_F(RadioPage, StopKeepsTheSelectionAndPlayStartsTheSameRowAgain)
{
    Reload(FourChannels());
    List()->SelectAndFocus(1);
    EXPECT_TRUE(PlayerIsOn(Stream(659)));
    const std::string path = "/radio/659.mp3";
    ASSERT_TRUE(WaitUntil([&] { return s_pStreams->RequestCount(path) >= 1; }, 10000));
    const int before = s_pStreams->RequestCount(path);
    platform::SendCommand(Frame(), wc::ID_TRAY_STOP);
    PumpEvents();
    EXPECT_EQ(List()->GetSelectedRow(), 1);
    platform::SendCommand(Frame(), wc::ID_PLAY);
    EXPECT_TRUE(WaitUntil([&] { return s_pStreams->RequestCount(path) > before; }, 10000))
        << "the stream is opened again";
}

TEST_F(RadioPage, ThePlayersStatusReachesTheTrayTipAndTheFirstPane)
{
    WriteSettingInt("LastCategory", 0);
    g_pCachedSettings->m_nLastCategory.reset();
    Reload(FourChannels());
    List()->SelectAndFocus(0);
    ASSERT_TRUE(WaitUntil(
        [] { return RadioView()->GetPlayer()->GetStatusText().StartsWith("Playing"); }, 15000))
        << RadioView()->GetPlayer()->GetStatusText();
    PumpEvents();
    const wxString status = RadioView()->GetPlayer()->GetStatusText();
    EXPECT_EQ(Frame()->GetTrayTip(), "Wavecrest by Tolvane\n" + status);
    EXPECT_EQ(Frame()->GetStatusPanes()->GetStatusText(0), status);
}

// What the player's status line shows on screen: the text of its GTK label,
// without the marks of a keyboard mnemonic.
std::string ShownLabel(wxWindow* parent)
{
    for (wxWindow* child : parent->GetChildren())
    {
        if (auto* label = dynamic_cast<wxStaticText*>(child))
            return gtk_label_get_text(GTK_LABEL(label->GetHandle()));
        const std::string inside = ShownLabel(child);
        if (!inside.empty())
            return inside;
    }
    return std::string();
}

std::string ShownPlayerStatus()
{
    return ShownLabel(RadioView()->GetPlayer());
}

TEST_F(RadioPage, AStreamTitleWithAmpersandsShowsAsTheStationSendsIt)
{
    WriteSettingInt("LastCategory", 0);
    g_pCachedSettings->m_nLastCategory.reset();
    Reload("Type,Name,Address,Language,Genre,About,Status\nRadio,Rock," + Stream(440) +
           "?title=AC%26DC%20%26%20Co,en,Rock,Loud,\n");
    List()->SelectAndFocus(0);
    ASSERT_TRUE(
        WaitUntil([] { return RadioView()->GetPlayer()->GetStreamTitle() == "AC&DC & Co"; }, 15000))
        << RadioView()->GetPlayer()->GetStatusText();
    PumpEvents();
    const wxString status = RadioView()->GetPlayer()->GetStatusText();
    EXPECT_TRUE(status.StartsWith("Playing: AC&DC & Co")) << status;
    EXPECT_EQ(ShownPlayerStatus(), status.utf8_string());
    // The status bar draws its text as it is (no mnemonics), so the pane's
    // text is what is seen.
    EXPECT_EQ(Frame()->GetStatusPanes()->GetStatusText(0), status);
    EXPECT_EQ(Frame()->GetTrayTip(), "Wavecrest by Tolvane\n" + status);
}

TEST_F(RadioPage, AnUnreachableStreamGivesAFailureStatusAndNoMessageBox)
{
    const std::string dead = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/x.mp3";
    Reload("Type,Name,Address,Language,Genre,About,Status\nRadio,Dead," + dead + ",en,Pop,Gone,\n");
    List()->SelectAndFocus(0);
    EXPECT_TRUE(WaitUntil(
        [] { return RadioView()->GetPlayer()->GetPlayState() == CPlayerStatus::EState::Failed; },
        15000))
        << RadioView()->GetPlayer()->GetStatusText();
    PumpEvents();
    EXPECT_EQ(Frame()->GetCurrentStatus(), RadioView()->GetPlayer()->GetStatusText());
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(RadioPage, F8AndF9ActOnlyFromTheList)
{
    Reload(FourChannels());
    CMessageRecorder recorder;
    wxListEvent f9(wxEVT_LIST_KEY_DOWN, List()->GetId());
    f9.m_code = WXK_F9;
    f9.SetEventObject(List());
    List()->GetEventHandler()->ProcessEvent(f9);
    EXPECT_EQ(recorder.Count(wc::ID_PLAY_NEXT), 1);
    wxListEvent f8(wxEVT_LIST_KEY_DOWN, List()->GetId());
    f8.m_code = WXK_F8;
    f8.SetEventObject(List());
    List()->GetEventHandler()->ProcessEvent(f8);
    EXPECT_EQ(recorder.Count(wc::ID_PLAY_PREVIOUS), 1);
    // The same key on the page itself, outside the list, does nothing.
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = WXK_F9;
    RadioView()->GetPlayer()->GetEventHandler()->ProcessEvent(key);
    EXPECT_EQ(recorder.Count(wc::ID_PLAY_NEXT), 1);
    PumpEvents();
}

TEST_F(RadioPage, TheDisplayTogglesFlipTheSettingAndAskForAFreshList)
{
    CMessageRecorder recorder;
    const int before = GetSettingInt("DisplayRadioChannels", 1);
    platform::SendCommand(Frame(), wc::ID_DISPLAY_RADIO);
    EXPECT_EQ(g_pCachedSettings->m_nDisplayRadioChannels, std::nullopt);
    EXPECT_NE(GetSettingInt("DisplayRadioChannels", 1), before);
    platform::SendCommand(Frame(), wc::ID_DISPLAY_RADIO);
    EXPECT_EQ(GetSettingInt("DisplayRadioChannels", 1), before);
    EXPECT_EQ(recorder.Count(wc::ID_REFRESH_CHANNELS), 2);
    platform::SendCommand(Frame(), wc::ID_DISPLAY_TV);
    Frame()->GetRibbonBar()->UpdateCheckBoxes();
    EXPECT_FALSE(Frame()->GetRibbonBar()->IsCheckBoxChecked(wc::ID_DISPLAY_TV));
    platform::SendCommand(Frame(), wc::ID_DISPLAY_TV);
    Frame()->GetRibbonBar()->UpdateCheckBoxes();
    EXPECT_TRUE(Frame()->GetRibbonBar()->IsCheckBoxChecked(wc::ID_DISPLAY_TV));
    // The refreshes asked for fail here (nothing serves the list): boxes answered.
    PumpEvents();
}

// The display settings, read through the settings cache as the toggles write
// them, leave radio or TV channels out of the reloaded list.
TEST_F(RadioPage, TheDisplaySettingsLeaveRadioOrTVChannelsOut)
{
    g_pCachedSettings->WriteDisplayRadioChannels(0);
    Reload(FourChannels());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Three"}));
    // A value in the cache is used without reading the settings again.
    WriteSettingInt("DisplayRadioChannels", 1);
    Reload(FourChannels());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Three"}));
    // Any value but 0 shows them.
    g_pCachedSettings->WriteDisplayRadioChannels(5);
    g_pCachedSettings->WriteDisplayTVChannels(0);
    Reload(FourChannels());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"One", "Four"}));
    g_pCachedSettings->WriteDisplayRadioChannels(1);
    g_pCachedSettings->WriteDisplayTVChannels(1);
}

TEST_F(RadioPage, ItsCommandsDoNothingWhileAnotherPageIsOpen)
{
    Frame()->OpenCategoryPage(1);
    PumpEvents();
    EXPECT_FALSE(platform::SendCommand(Frame(), wc::ID_TRAY_PLAY));
    EXPECT_FALSE(platform::SendCommand(Frame(), wc::ID_PLAY_NEXT));
    Frame()->OpenCategoryPage(0);
    PumpEvents();
    EXPECT_TRUE(platform::SendCommand(Frame(), wc::ID_TRAY_STOP));
}

TEST_F(RadioPage, AStoredHotKeyPlaysWhileTheWindowIsHiddenAndIsReleasedWithThePage)
{
    // Ctrl+Alt+P for Play: key 'P', modifiers Ctrl and Alt in their stored form.
    WriteSettingInt("Play Key", 'P');
    WriteSettingInt("Play Mod", 3);
    Frame()->OpenCategoryPage(0); // the page registers its keys when it opens
    PumpEvents();
    ASSERT_NE(RadioView(), nullptr);
    Reload(FourChannels());
    EXPECT_FALSE(AnotherClientCanGrab("p", {"control", "mod1"})) << "the page holds it";

    Frame()->HideToTray();
    PumpEvents();
    CMessageRecorder recorder;
    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    EXPECT_TRUE(WaitUntil([&] { return recorder.Count(wc::ID_PLAY) > 0; }, 10000));
    EXPECT_TRUE(WaitUntil([] { return List()->GetSelectedRow() == 0; }, 10000))
        << "Play with nothing selected plays the first row";
    Frame()->BringToFront();

    Frame()->OpenCategoryPage(2); // a page that holds no hot keys
    PumpEvents();
    EXPECT_TRUE(AnotherClientCanGrab("p", {"control", "mod1"})) << "released with the page";
    WriteSettingInt("Play Key", 0);
    WriteSettingInt("Play Mod", 0);
}

// The player's first button (Pause or Play), as the person sees it.
wxWindow* FirstPlayerButton(wxWindow* parent)
{
    for (wxWindow* child : parent->GetChildren())
    {
        if (dynamic_cast<wxButton*>(child))
            return child;
        if (wxWindow* found = FirstPlayerButton(child))
            return found;
    }
    return nullptr;
}

TEST_F(RadioPage, ThePlayerKeepsItsLayoutEachTimeThePageComesBack)
{
    for (int round = 0; round < 3; ++round)
    {
        Frame()->OpenCategoryPage(1);
        PumpEvents();
        Frame()->OpenCategoryPage(0);
        PumpEvents();
        ASSERT_NE(RadioView(), nullptr);
        CWMPPlayer4* player = RadioView()->GetPlayer();
        wxWindow* button = FirstPlayerButton(player);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(WaitUntil(
            [&]
            {
                return player->GetSize() == player->GetParent()->GetClientSize() &&
                       button->GetSize().x >= button->GetBestSize().x &&
                       button->GetSize().y >= button->GetBestSize().y;
            }))
            << "round " << round << ": the player is " << player->GetSize().x << " x "
            << player->GetSize().y << ", its button " << button->GetSize().x << " x "
            << button->GetSize().y;
    }
}
