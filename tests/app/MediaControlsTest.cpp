// Desktop media controls in the real application, on a session bus of the
// test program's own: playerctl and a bus client drive the radio page (its
// real player playing loopback streams, its sound going to a file) and read
// back what the page does.

#include "catalogue/DataFolder.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "player/StreamServerProcess.h"
#include "player/WMPPlayer4.h"
#include "radio/ChannelListCtrl.h"
#include "radio/WavecrestView.h"
#include "support/BusClient.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/docview.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace
{
constexpr const char* kName = "org.mpris.MediaPlayer2.wavecrest";

CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

CWavecrestView* RadioView()
{
    return dynamic_cast<CWavecrestView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}

class MediaControls : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pStreams = std::make_unique<CStreamServerProcess>();
        const std::string options =
            "ao=pcm;ao-pcm-file=" + std::string(std::getenv("HOME")) + "/sound.wav";
        setenv("WAVECREST_PLAYER_OPTIONS", options.c_str(), 1);
        s_pClient = std::make_unique<CBusClient>(std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                                                 [] { PumpEvents(); });
        Frame()->OpenCategoryPage(0); // a page opened now has a player with those options
        PumpEvents();
    }
    static void TearDownTestSuite()
    {
        s_pClient.reset();
        s_pStreams.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_pStreams->IsRunning());
        ASSERT_TRUE(s_pClient->IsConnected());
        if (!RadioView())
        {
            Frame()->OpenCategoryPage(0);
            PumpEvents();
        }
        ASSERT_NE(RadioView(), nullptr);
        WriteSettingInt("AutoPlay", 0);
        ASSERT_TRUE(Client().WaitUntil([] { return !Client().NameOwner(kName).empty(); }))
            << "the program takes its name on the bus";
    }

    static CBusClient& Client() { return *s_pClient; }

    std::string Ogg(int hz) const
    {
        return s_pStreams->Url("/radio/" + std::to_string(hz) + ".ogg");
    }

    // Three channels whose streams announce no title of their own.
    std::string ThreeChannels() const
    {
        return "Type,Name,Address,Language,Genre,About,Status\n"
               "Radio,One," +
               Ogg(440) + ",en,Pop,First,\nRadio,Two," + Ogg(523) +
               ",en,Jazz,Second,\nRadio,Three," + Ogg(659) + ",de,News,Third,\n";
    }

    void Reload(const std::string& lines)
    {
        WriteWholeFile(GetStationListPath(), StationListBytes(lines));
        platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
        PumpEvents();
    }

    int SelectedRow() const { return RadioView()->GetChannelList()->GetSelectedRow(); }

    CPlayerStatus::EState PlayState() const { return RadioView()->GetPlayer()->GetPlayState(); }

    bool WaitForPlayState(CPlayerStatus::EState eState)
    {
        return WaitUntil([&] { return PlayState() == eState; }, 15000);
    }

    bool WaitForBusStatus(const std::string& strStatus)
    {
        return Client().WaitUntil(
            [&] { return Client().Get(kMprisPlayer, "PlaybackStatus") == strStatus; });
    }

    bool WaitForTitle(const std::string& strTitle)
    {
        return Client().WaitUntil([&] { return Client().Metadata()["xesam:title"] == strTitle; });
    }

    CBusClient::Result Playerctl(const std::string& strCommand)
    {
        return Client().Run({"playerctl", "-p", "wavecrest", strCommand});
    }

    static std::unique_ptr<CStreamServerProcess> s_pStreams;
    static std::unique_ptr<CBusClient> s_pClient;
    CModalRecorder m_modals{[](const platform::ModalRequest& request) -> std::optional<int>
                            {
                                if (request.kind == platform::ModalRequest::Kind::Dialog)
                                    return std::nullopt; // the download dialog runs for real
                                return wxOK;
                            }};
};

std::unique_ptr<CStreamServerProcess> MediaControls::s_pStreams;
std::unique_ptr<CBusClient> MediaControls::s_pClient;
} // namespace

TEST_F(MediaControls, TheProgramIsOnTheBusAsWavecrest)
{
    EXPECT_EQ(Client().Get(kMprisRoot, "Identity"), "Wavecrest");
    EXPECT_EQ(Client().Get(kMprisRoot, "DesktopEntry"), "wavecrest");
    EXPECT_EQ(Client().Get(kMprisPlayer, "CanGoNext"), "true") << "the radio page is open";
    EXPECT_EQ(Client().Get(kMprisPlayer, "CanPlay"), "true");
    const auto players = Client().Run({"playerctl", "--list-all"});
    EXPECT_EQ(players.nStatus, 0);
    EXPECT_EQ(players.strOutput, "wavecrest\n");
}

TEST_F(MediaControls, NextAndPreviousPlayTheNeighbouringRowsAndNameTheirChannel)
{
    Reload(ThreeChannels());
    EXPECT_EQ(Playerctl("next").nStatus, 0);
    ASSERT_TRUE(WaitUntil([&] { return SelectedRow() == 0; })) << "nothing chosen: the first row";
    ASSERT_TRUE(WaitForTitle("One"));
    auto metadata = Client().Metadata();
    EXPECT_EQ(metadata["xesam:url"], Ogg(440));
    EXPECT_EQ(metadata["mpris:trackid"], "/example/tolvane/Wavecrest/channel/0");
    EXPECT_EQ(metadata.count("xesam:artist"), 0u) << "the stream announces no title";
    EXPECT_TRUE(WaitForBusStatus("Playing"));

    EXPECT_EQ(Playerctl("next").nStatus, 0);
    ASSERT_TRUE(WaitUntil([&] { return SelectedRow() == 1; }));
    ASSERT_TRUE(WaitForTitle("Two"));
    EXPECT_EQ(Client().Metadata()["xesam:url"], Ogg(523));
    EXPECT_EQ(RadioView()->GetPlayer()->GetURL(), Ogg(523));

    EXPECT_TRUE(Client().Call(kMprisPlayer, "Previous"));
    ASSERT_TRUE(WaitUntil([&] { return SelectedRow() == 0; }));
    EXPECT_TRUE(WaitForTitle("One"));
    const auto title = Client().Run({"playerctl", "-p", "wavecrest", "metadata", "title"});
    EXPECT_EQ(title.strOutput, "One\n");
}

TEST_F(MediaControls, PlayPausePausesThePlayerAndPlaysItAgainAndStopStops)
{
    Reload(ThreeChannels());
    EXPECT_TRUE(Client().Call(kMprisPlayer, "Play"));
    ASSERT_TRUE(WaitForPlayState(CPlayerStatus::EState::Playing))
        << RadioView()->GetPlayer()->GetStatusText();
    EXPECT_EQ(SelectedRow(), 0);

    EXPECT_EQ(Playerctl("play-pause").nStatus, 0);
    ASSERT_TRUE(WaitForPlayState(CPlayerStatus::EState::Paused));
    EXPECT_EQ(RadioView()->GetPlayer()->GetStatusText(), "Paused") << "paused, not stopped";
    EXPECT_TRUE(WaitForBusStatus("Paused"));
    EXPECT_EQ(Playerctl("status").strOutput, "Paused\n");

    EXPECT_EQ(Playerctl("play-pause").nStatus, 0);
    ASSERT_TRUE(WaitForPlayState(CPlayerStatus::EState::Playing));
    EXPECT_TRUE(WaitForBusStatus("Playing"));
    EXPECT_EQ(RadioView()->GetPlayer()->GetURL(), Ogg(440)) << "the same channel goes on";

    EXPECT_TRUE(Client().Call(kMprisPlayer, "Pause"));
    ASSERT_TRUE(WaitForPlayState(CPlayerStatus::EState::Paused));
    EXPECT_TRUE(WaitForBusStatus("Paused"));

    EXPECT_EQ(Playerctl("stop").nStatus, 0);
    ASSERT_TRUE(WaitForPlayState(CPlayerStatus::EState::Stopped));
    EXPECT_TRUE(WaitForBusStatus("Stopped"));
    EXPECT_EQ(Playerctl("status").strOutput, "Stopped\n");
    EXPECT_EQ(SelectedRow(), 0) << "stopping keeps the channel chosen";
}

TEST_F(MediaControls, AStreamsOwnTitleIsTheTitleAndItsChannelTheArtist)
{
    const std::string strMp3 = s_pStreams->Url("/radio/440.mp3?title=Blue%20Monk");
    Reload("Type,Name,Address,Language,Genre,About,Status\nRadio,Jazz One," + strMp3 +
           ",en,Jazz,First,\n");
    EXPECT_TRUE(Client().Call(kMprisPlayer, "Play"));
    ASSERT_TRUE(WaitForTitle("Blue Monk")) << Client().Metadata()["xesam:title"];
    auto metadata = Client().Metadata();
    EXPECT_EQ(metadata["xesam:artist"], "Jazz One");
    EXPECT_EQ(metadata["xesam:url"], strMp3);
}

TEST_F(MediaControls, TheVolumeFollowsThePlayerBothWays)
{
    EXPECT_TRUE(Client().SetDouble(kMprisPlayer, "Volume", 0.25));
    EXPECT_TRUE(WaitUntil([] { return RadioView()->GetPlayer()->GetVolume() == 25; }));
    EXPECT_DOUBLE_EQ(Client().GetDouble(kMprisPlayer, "Volume"), 0.25);
    EXPECT_TRUE(Client().SetDouble(kMprisPlayer, "Volume", 4.0));
    EXPECT_TRUE(WaitUntil([] { return RadioView()->GetPlayer()->GetVolume() == 100; }));

    Client().ClearChanges();
    RadioView()->GetPlayer()->SetVolume(80); // as the slider does
    ASSERT_TRUE(Client().WaitUntil([] { return !Client().Changes().empty(); }));
    const auto change = Client().Changes().front();
    ASSERT_EQ(change.values.size(), 1u) << "only the volume changed";
    ASSERT_EQ(change.values.count("Volume"), 1u);
    EXPECT_DOUBLE_EQ(std::stod(change.values.at("Volume")), 0.8);
}

TEST_F(MediaControls, WithAnotherPageOpenNothingCanBeDoneAndNothingIsDone)
{
    Reload(ThreeChannels());
    EXPECT_TRUE(Client().Call(kMprisPlayer, "Play"));
    ASSERT_TRUE(WaitForTitle("One"));

    Frame()->OpenCategoryPage(1);
    PumpEvents();
    ASSERT_EQ(RadioView(), nullptr);
    EXPECT_TRUE(WaitForBusStatus("Stopped")) << "the player went with the page";
    EXPECT_EQ(Client().Metadata()["mpris:trackid"], "/org/mpris/MediaPlayer2/TrackList/NoTrack");
    for (const char* pszCapability : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"})
        EXPECT_EQ(Client().Get(kMprisPlayer, pszCapability), "false") << pszCapability;

    CMessageRecorder recorder;
    for (const char* pszMethod : {"Next", "Previous", "Play", "PlayPause", "Pause", "Stop"})
        EXPECT_TRUE(Client().Call(kMprisPlayer, pszMethod)) << pszMethod;
    PumpEvents();
    EXPECT_EQ(recorder.Count(wc::ID_PLAY_NEXT), 0) << "without the radio page nothing is asked";
    EXPECT_EQ(RadioView(), nullptr) << "no radio page was opened";
    EXPECT_EQ(Client().Get(kMprisPlayer, "PlaybackStatus"), "Stopped");
}

TEST_F(MediaControls, RaiseShowsAHiddenWindow)
{
    Frame()->HideToTray();
    PumpEvents();
    ASSERT_TRUE(!Frame()->IsShown() || Frame()->IsIconized());
    EXPECT_TRUE(Client().Call(kMprisRoot, "Raise"));
    EXPECT_TRUE(WaitUntil([] { return Frame()->IsShown() && !Frame()->IsIconized(); }));
}
