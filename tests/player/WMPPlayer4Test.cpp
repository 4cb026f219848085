// The player control with the real engine, real live streams on loopback and
// its sound written to a file (ao=pcm), on the test's X display.

#include "player/WMPPlayer4.h"
#include "player/LoadVetting.h"
#include "player/StreamServerProcess.h"
#include "player/ToneAnalysis.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/tglbtn.h>

#include <chrono>
#include <cstdlib>
#include <ostream>
#include <sys/stat.h>
#include <thread>

namespace
{

constexpr int kPlayerId = 1003;
constexpr int kLongWait = 30000; // milliseconds; streams start in about two seconds

// Holds the player as a page would: a parent window whose static event
// table takes the player's events.
class CPlayerHost : public wxPanel
{
public:
    explicit CPlayerHost(wxWindow* pParent) : wxPanel(pParent)
    {
        m_pPlayer = new CWMPPlayer4(this, kPlayerId, wxDefaultPosition, wxSize(600, 300));
        auto* pSizer = new wxBoxSizer(wxVERTICAL);
        pSizer->Add(m_pPlayer, 1, wxEXPAND);
        SetSizer(pSizer);
    }

    CWMPPlayer4* Player() const { return m_pPlayer; }
    const std::vector<wxString>& StatusTexts() const { return m_statusTexts; }
    const std::vector<int>& PlayStates() const { return m_playStates; }

private:
    void OnStatusChange(wxCommandEvent& /*event*/)
    {
        m_statusTexts.push_back(m_pPlayer->GetStatusText());
    }
    void OnPlayStateChange(wxCommandEvent& event) { m_playStates.push_back(event.GetInt()); }

    CWMPPlayer4* m_pPlayer;
    std::vector<wxString> m_statusTexts;
    std::vector<int> m_playStates;

    wxDECLARE_EVENT_TABLE();
};

long FileSize(const std::string& strPath)
{
    struct stat info = {};
    return stat(strPath.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

// The first control of that kind (and label) anywhere inside pParent.
template <class T> T* FindChild(wxWindow* pParent, const wxString& strLabel = wxString())
{
    for (wxWindow* pChild : pParent->GetChildren())
    {
        auto* pFound = dynamic_cast<T*>(pChild);
        if (pFound && (strLabel.empty() || pChild->GetLabel() == strLabel))
            return pFound;
        if (T* pInside = FindChild<T>(pChild, strLabel))
            return pInside;
    }
    return nullptr;
}

void Pause(int nMilliseconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMilliseconds);
    while (std::chrono::steady_clock::now() < until)
    {
        PumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

class PlayerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pServer = new CStreamServerProcess(); }
    static void TearDownTestSuite()
    {
        delete s_pServer;
        s_pServer = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_pServer->IsRunning()) << "the loopback stream server did not start";
        char szFolder[] = "/tmp/wc-player-XXXXXX";
        ASSERT_NE(mkdtemp(szFolder), nullptr);
        m_strFolder = szFolder;
        m_strSound = m_strFolder + "/sound.wav";
    }

    void TearDown() override
    {
        ClosePlayer();
        unsetenv("WAVECREST_PLAYER_OPTIONS");
        RemoveTree(m_strFolder);
    }

    // Opens a window with the player; its sound goes to m_strSound.
    void OpenPlayer(const std::string& strExtraOptions = std::string())
    {
        const std::string strOptions = "ao=pcm;ao-pcm-file=" + m_strSound + ";" + strExtraOptions;
        setenv("WAVECREST_PLAYER_OPTIONS", strOptions.c_str(), 1);
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "Player test", wxPoint(20, 20), wxSize(640, 400));
        m_pHost = new CPlayerHost(m_pFrame);
        m_pFrame->Show();
        ASSERT_TRUE(Player()->IsEngineReady());
        ASSERT_TRUE(
            WaitUntil([this] { return Player()->GetPictureWindow()->IsShownOnScreen(); }, 10000))
            << "the picture area was never shown";
    }

    // Closes the window, which ends the engine and finishes the sound file.
    void ClosePlayer()
    {
        if (!m_pFrame)
            return;
        m_pFrame->Destroy();
        m_pFrame = nullptr;
        m_pHost = nullptr;
        WaitUntil([] { return wxTopLevelWindows.empty(); }, 10000);
    }

    CWMPPlayer4* Player() const { return m_pHost->Player(); }

    bool WaitForStatus(const wxString& strText, int nTimeout = kLongWait)
    {
        return WaitUntil([&] { return Player()->GetStatusText() == strText; }, nTimeout);
    }

    bool WaitForPlaying(int nTimeout = kLongWait)
    {
        return WaitUntil([&] { return Player()->GetStatusText().StartsWith("Playing"); }, nTimeout);
    }

    CPcmSound Sound() const
    {
        CPcmSound sound;
        ReadWaveFile(m_strSound, sound);
        return sound;
    }

    // Waits until the last 0.4 s of sound is the given tone (within 2 %).
    bool WaitForTone(double dHertz, int nTimeout = kLongWait)
    {
        return WaitUntil(
            [&]
            {
                const double dFound = TailFrequency(Sound(), 0.4);
                return std::abs(dFound - dHertz) < dHertz * 0.02;
            },
            nTimeout);
    }

    // Waits until the sound file has not grown for a second.
    bool WaitForSoundToStop(int nTimeout = kLongWait)
    {
        long nSize = FileSize(m_strSound);
        auto since = std::chrono::steady_clock::now();
        return WaitUntil(
            [&]
            {
                const long nNow = FileSize(m_strSound);
                if (nNow != nSize)
                {
                    nSize = nNow;
                    since = std::chrono::steady_clock::now();
                }
                return std::chrono::steady_clock::now() - since > std::chrono::seconds(1);
            },
            nTimeout);
    }

    bool WaitForSoundToGrow(int nTimeout = kLongWait)
    {
        const long nSize = FileSize(m_strSound);
        return WaitUntil([&] { return FileSize(m_strSound) > nSize + 44100; }, nTimeout);
    }

    static CStreamServerProcess* s_pServer;
    std::string m_strFolder;
    std::string m_strSound;
    wxFrame* m_pFrame = nullptr;
    CPlayerHost* m_pHost = nullptr;
};

CStreamServerProcess* PlayerTest::s_pServer = nullptr;

class PlayerPlayback : public PlayerTest
{
};
class PlayerTransport : public PlayerTest
{
};
class PlayerFailures : public PlayerTest
{
};
class PlayerAddressRule : public PlayerTest
{
};
class PlayerVideo : public PlayerTest
{
};

TEST_F(PlayerPlayback, PlaysTheToneOfAnMp3RadioStream)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/440.mp3"));
    ASSERT_TRUE(WaitForPlaying()) << Player()->GetStatusText();
    ASSERT_TRUE(WaitForTone(440)) << "heard " << TailFrequency(Sound(), 0.4) << " Hz";
    EXPECT_GT(TailLoudness(Sound(), 0.4), 0.005);
    EXPECT_EQ(s_pServer->RequestCount("/radio/440.mp3"), 1);
}

TEST_F(PlayerPlayback, PlaysTheToneOfAnOggVorbisRadioStream)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/1000.ogg"));
    ASSERT_TRUE(WaitForPlaying()) << Player()->GetStatusText();
    EXPECT_TRUE(WaitForTone(1000)) << "heard " << TailFrequency(Sound(), 0.4) << " Hz";
}

TEST_F(PlayerPlayback, TellsTheOwnerWhatHappensFromConnectingToPlaying)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/523.mp3?title=Evening%20Tone"));
    ASSERT_TRUE(WaitForStatus("Playing: Evening Tone (128 kbps)")) << Player()->GetStatusText();
    const auto& texts = m_pHost->StatusTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Connecting to 127.0.0.1...");
    EXPECT_EQ(texts.back(), "Playing: Evening Tone (128 kbps)");
    EXPECT_EQ(m_pHost->PlayStates().back(), static_cast<int>(CPlayerStatus::EState::Playing));
}

TEST_F(PlayerPlayback, ReplacesThePlayingStreamWhenGivenANewAddress)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/440.mp3"));
    ASSERT_TRUE(WaitForTone(440));
    Player()->SetURL(s_pServer->Url("/radio/880.mp3"));
    EXPECT_TRUE(
        WaitUntil([] { return s_pServer->RequestCount("/radio/880.mp3") == 1; }, kLongWait));
    EXPECT_TRUE(WaitForTone(880)) << "heard " << TailFrequency(Sound(), 0.4) << " Hz";
    EXPECT_TRUE(WaitForStatus("Playing: Sine 880 Hz (128 kbps)")) << Player()->GetStatusText();
}

TEST_F(PlayerPlayback, OpensTheSameStreamAgainWhenGivenItsAddressAgain)
{
    OpenPlayer();
    const std::string strPath = "/radio/660.mp3?again=1";
    Player()->SetURL(s_pServer->Url(strPath));
    ASSERT_TRUE(WaitForPlaying());
    Player()->SetURL(s_pServer->Url(strPath));
    EXPECT_TRUE(WaitUntil([&] { return s_pServer->RequestCount(strPath) == 2; }, kLongWait));
    EXPECT_TRUE(WaitForPlaying());
}

TEST_F(PlayerTransport, StopEndsTheSoundAndSaysStopped)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/440.mp3"));
    ASSERT_TRUE(WaitForTone(440));
    Player()->GetControls().stop();
    EXPECT_EQ(Player()->GetStatusText(), "Stopped");
    EXPECT_TRUE(WaitForSoundToStop());
    EXPECT_EQ(Player()->GetStatusText(), "Stopped");
    EXPECT_EQ(Player()->GetURL(), s_pServer->Url("/radio/440.mp3"));
}

TEST_F(PlayerTransport, PlayAfterStopOpensTheStreamAgain)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/440.mp3?replay=1"));
    ASSERT_TRUE(WaitForPlaying());
    Player()->GetControls().stop();
    Player()->GetControls().play();
    EXPECT_TRUE(WaitUntil([] { return s_pServer->RequestCount("/radio/440.mp3?replay=1") == 2; },
                          kLongWait));
    EXPECT_TRUE(WaitForPlaying());
}

TEST_F(PlayerTransport, ThePauseButtonPausesAndGoesOn)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/440.mp3"));
    ASSERT_TRUE(WaitForTone(440));
    auto* pButton = FindChild<wxButton>(Player(), "Pause");
    ASSERT_NE(pButton, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, pButton->GetId());
    click.SetEventObject(pButton);
    pButton->ProcessWindowEvent(click);
    EXPECT_TRUE(WaitForStatus("Paused"));
    EXPECT_TRUE(WaitForSoundToStop());
    EXPECT_EQ(pButton->GetLabel(), "Play");
    pButton->ProcessWindowEvent(click);
    EXPECT_TRUE(WaitForPlaying());
    EXPECT_TRUE(WaitForSoundToGrow());
}

TEST_F(PlayerTransport, TheVolumeSliderStartsAtFiftyAndSetsTheLoudness)
{
    OpenPlayer();
    auto* pSlider = FindChild<wxSlider>(Player());
    ASSERT_NE(pSlider, nullptr);
    EXPECT_EQ(pSlider->GetValue(), 50);
    Player()->SetURL(s_pServer->Url("/radio/440.mp3"));
    ASSERT_TRUE(WaitForTone(440));
    const double dAtFifty = TailLoudness(Sound(), 0.4);
    pSlider->SetValue(100);
    wxCommandEvent move(wxEVT_SLIDER, pSlider->GetId());
    move.SetInt(100);
    move.SetEventObject(pSlider);
    pSlider->ProcessWindowEvent(move);
    EXPECT_EQ(Player()->GetVolume(), 100);
    // The engine's volume curve is cubic: half volume is an eighth of the level.
    EXPECT_TRUE(WaitUntil([&] { return TailLoudness(Sound(), 0.4) > dAtFifty * 6; }, kLongWait))
        << "level at 50: " << dAtFifty << ", now: " << TailLoudness(Sound(), 0.4);
    EXPECT_LT(TailLoudness(Sound(), 0.4), dAtFifty * 10);
}

TEST_F(PlayerTransport, TheMuteButtonSilencesTheSound)
{
    OpenPlayer();
    auto* pMute = FindChild<wxToggleButton>(Player());
    ASSERT_NE(pMute, nullptr);
    EXPECT_FALSE(pMute->GetValue());
    Player()->SetURL(s_pServer->Url("/radio/440.mp3"));
    ASSERT_TRUE(WaitForTone(440));
    pMute->SetValue(true);
    wxCommandEvent toggle(wxEVT_TOGGLEBUTTON, pMute->GetId());
    toggle.SetInt(1);
    toggle.SetEventObject(pMute);
    pMute->ProcessWindowEvent(toggle);
    EXPECT_TRUE(Player()->IsMuted());
    EXPECT_TRUE(WaitUntil([&] { return TailLoudness(Sound(), 0.4) < 1e-4; }, kLongWait));
    EXPECT_TRUE(Player()->GetStatusText().StartsWith("Playing"));
}

TEST_F(PlayerFailures, AnUnreachableStreamGivesAFailureStatusAndNoMessageBox)
{
    CModalRecorder modal;
    OpenPlayer();
    const int nPort = UnusedLoopbackPort();
    ASSERT_NE(nPort, 0);
    Player()->SetURL(wxString::Format("http://127.0.0.1:%d/radio/440.mp3", nPort));
    EXPECT_TRUE(WaitForStatus("Failed: connection refused")) << Player()->GetStatusText();
    EXPECT_EQ(m_pHost->PlayStates().back(), static_cast<int>(CPlayerStatus::EState::Failed));
    Pause(300);
    EXPECT_TRUE(modal.Requests().empty());
}

TEST_F(PlayerFailures, AMissingStreamSaysWhatTheServerAnswered)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/nothing.mp3"));
    EXPECT_TRUE(WaitForStatus("Failed: the server answered 404 Not Found"))
        << Player()->GetStatusText();
}

TEST_F(PlayerFailures, ADroppedStreamIsReopenedAndGivenUpWhenTheServerSaysItIsGone)
{
    OpenPlayer();
    // The stream stops after three seconds; asked for again, it is gone.
    Player()->SetURL(s_pServer->Url("/radio/440.mp3?drop_after=48000&once=1"));
    ASSERT_TRUE(WaitForPlaying()) << Player()->GetStatusText();
    EXPECT_TRUE(WaitUntil(
        [&] { return Player()->GetStatusText().StartsWith("Reconnecting... (try "); }, kLongWait))
        << Player()->GetStatusText();
    EXPECT_EQ(Player()->GetPlayState(), CPlayerStatus::EState::Playing);
    EXPECT_TRUE(WaitForStatus("Failed: the server answered 410 Gone")) << Player()->GetStatusText();
    EXPECT_EQ(m_pHost->PlayStates().back(), static_cast<int>(CPlayerStatus::EState::Failed));
}

TEST_F(PlayerFailures, WithoutASoundOutputTheStreamIsNotOpenedAgainUntilPlay)
{
    OpenPlayer("ao-pcm-file=/nonexistent-dir/sound.wav");
    const std::string strPath = "/radio/659.mp3?title=No%20Output";
    Player()->SetURL(s_pServer->Url(strPath));
    EXPECT_TRUE(WaitForStatus("Failed: no sound output could be opened"))
        << Player()->GetStatusText();
    EXPECT_EQ(m_pHost->PlayStates().back(), static_cast<int>(CPlayerStatus::EState::Failed));
    // A reopening would come after half a second.
    Pause(2000);
    EXPECT_EQ(s_pServer->RequestCount(strPath), 1);
    EXPECT_EQ(Player()->GetStatusText(), "Failed: no sound output could be opened");
    Player()->Play();
    EXPECT_TRUE(WaitUntil([&] { return s_pServer->RequestCount(strPath) == 2; }, kLongWait));
}

TEST_F(PlayerPlayback, ShowsEveryTitleTheStationAnnouncesInWhateverEncoding)
{
    // A sound output that keeps time, as a real one does: the engine applies
    // a stream's later titles as playback reaches them, which a file output
    // that runs ahead of the stream never does.
    OpenPlayer("ao=null");
    // Latin-1 and Windows-1251 titles, taking turns every two seconds.
    Player()->SetURL(s_pServer->Url(
        "/radio/"
        "440.mp3?titles=latin-1:Caf%C3%A9%20M%C3%BCller|cp1251:%D0%9A%D0%B8%D0%BD%D0%BE%20-%20%D0%"
        "93%D1%80%D1%83%D0%BF%D0%BF%D0%B0%20%D0%BA%D1%80%D0%BE%D0%B2%D0%B8"));
    EXPECT_TRUE(WaitForStatus(wxString::FromUTF8("Playing: Café Müller (128 kbps)")))
        << Player()->GetStatusText();
    EXPECT_TRUE(WaitForStatus(wxString::FromUTF8("Playing: Кино - Группа крови (128 kbps)")))
        << Player()->GetStatusText();
    EXPECT_TRUE(WaitForStatus(wxString::FromUTF8("Playing: Café Müller (128 kbps)")))
        << Player()->GetStatusText();
}

struct CRefusedAddress
{
    const char* pszName; // the test's name
    const char* pszAddress;
    const char* pszStatus;
};

void PrintTo(const CRefusedAddress& address, std::ostream* pStream)
{
    *pStream << '"' << address.pszAddress << '"';
}

class PlayerRefusals : public PlayerTest, public ::testing::WithParamInterface<CRefusedAddress>
{
};

TEST_P(PlayerRefusals, AreNotHandedToTheEngineAndTheStatusSaysWhy)
{
    const std::string strLog = m_strFolder + "/engine.log";
    OpenPlayer("log-file=" + strLog);
    Player()->SetURL(wxString::FromUTF8(GetParam().pszAddress));
    EXPECT_EQ(Player()->GetStatusText(), GetParam().pszStatus);
    Pause(300);
    EXPECT_EQ(Player()->GetStatusText(), GetParam().pszStatus);
    ClosePlayer(); // the engine finishes its log
    const std::string strEngineLog = ReadWholeFile(strLog);
    ASSERT_THAT(strEngineLog, ::testing::HasSubstr("mpv")) << "the engine wrote no log";
    EXPECT_THAT(strEngineLog, ::testing::Not(::testing::HasSubstr("loadfile")));
    if (*GetParam().pszAddress)
    {
        EXPECT_THAT(strEngineLog, ::testing::Not(::testing::HasSubstr(GetParam().pszAddress)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    LocalEmptyAndEngineAddresses, PlayerRefusals,
    ::testing::Values(CRefusedAddress{"LocalFile", "file:///etc/hostname",
                                      "Not played: local files are not opened"},
                      CRefusedAddress{"EmptyAddress", "", "Not played: no address"},
                      CRefusedAddress{"PathWithoutScheme", "/etc/hostname",
                                      "Not played: not a network address"},
                      CRefusedAddress{"AvProtocol", "av://lavfi:sine=frequency=300",
                                      "Not played: av: addresses are not opened"},
                      CRefusedAddress{"LavfProtocol", "lavf://http://127.0.0.1:1/x",
                                      "Not played: lavf: addresses are not opened"},
                      CRefusedAddress{"MemoryProtocol", "memory://hello",
                                      "Not played: memory: addresses are not opened"},
                      CRefusedAddress{"EdlProtocol", "edl://%10%/etc/hostname",
                                      "Not played: edl: addresses are not opened"}),
    [](const ::testing::TestParamInfo<CRefusedAddress>& info) { return info.param.pszName; });

// A station answers with a playlist of loopback streams. The playlist's own
// host counts as remote in the first case, as a station on the internet is.
struct CPlaylistCase
{
    const char* pszName;
    bool bRemoteStation;
    const char* pszFirstEntry; // a path on the loopback server
    const char* pszStatusStart;
};

class PlayerPlaylistEntries : public PlayerTest, public ::testing::WithParamInterface<CPlaylistCase>
{
};

TEST_P(PlayerPlaylistEntries, LeadOnlyWhereTheirSourceMayAndOnlyToTheFirst)
{
    if (GetParam().bRemoteStation)
        setenv(CLoadVetting::kRemoteHostsVariable, "localhost", 1);
    OpenPlayer();
    unsetenv(CLoadVetting::kRemoteHostsVariable);
    const std::string strSecond = "/radio/523.mp3?second=1";
    const std::string strFirst = GetParam().pszFirstEntry;
    const std::string strPlaylist =
        "/playlist.m3u?entries=" + s_pServer->Url(strFirst) + "%7C" + s_pServer->Url(strSecond);
    std::string strStation = s_pServer->Url(strPlaylist);
    strStation.replace(strStation.find("127.0.0.1"), 9, "localhost");
    Player()->SetURL(wxString::FromUTF8(strStation));
    EXPECT_TRUE(WaitUntil(
        [&] { return Player()->GetStatusText().StartsWith(GetParam().pszStatusStart); }, kLongWait))
        << Player()->GetStatusText();
    Pause(1500);
    EXPECT_EQ(s_pServer->RequestCount(strPlaylist), 1);
    EXPECT_EQ(s_pServer->RequestCount(strFirst), GetParam().bRemoteStation ? 0 : 1);
    EXPECT_EQ(s_pServer->RequestCount(strSecond), 0);
    EXPECT_TRUE(Player()->GetStatusText().StartsWith(GetParam().pszStatusStart))
        << Player()->GetStatusText();
}

INSTANTIATE_TEST_SUITE_P(
    LoopbackStreams, PlayerPlaylistEntries,
    ::testing::Values(
        CPlaylistCase{"OfARemoteStationAreNotFetched", true, "/radio/440.mp3?first=1",
                      "Failed: the station's playlist leads to a local address (127.0.0.1)"},
        CPlaylistCase{"OfALocalStationPlay", false, "/radio/440.mp3?first=2",
                      "Playing: Sine 440 Hz"},
        CPlaylistCase{"AfterAFirstThatFailsAreNotTried", false, "/radio/nothing.mp3",
                      "Failed: the server answered 404 Not Found"}),
    [](const ::testing::TestParamInfo<CPlaylistCase>& info) { return info.param.pszName; });

TEST_F(PlayerAddressRule, RefusingAnAddressStopsWhatPlayed)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/radio/440.mp3"));
    ASSERT_TRUE(WaitForTone(440));
    Player()->SetURL("file:///etc/hostname");
    EXPECT_EQ(Player()->GetStatusText(), "Not played: local files are not opened");
    EXPECT_TRUE(WaitForSoundToStop());
    EXPECT_EQ(Player()->GetStatusText(), "Not played: local files are not opened");
}

TEST_F(PlayerVideo, ShowsTheTvPictureAndPlaysItsSound)
{
    OpenPlayer();
    Player()->SetURL(s_pServer->Url("/tv/600.ts"));
    ASSERT_TRUE(WaitUntil([this] { return Player()->IsShowingVideo(); }, kLongWait))
        << Player()->GetStatusText();
    EXPECT_TRUE(WaitForTone(600)) << "heard " << TailFrequency(Sound(), 0.4) << " Hz";
    EXPECT_TRUE(WaitForPlaying()) << Player()->GetStatusText();
    EXPECT_THAT(Player()->GetStatusText().ToStdString(),
                ::testing::Not(::testing::HasSubstr("no picture")));
}

// The host's event table, last in the file so that formatting stays off for it.
namespace
{

// clang-format off
wxBEGIN_EVENT_TABLE(CPlayerHost, wxPanel)
    EVT_PLAYER_STATUS_CHANGE(kPlayerId, CPlayerHost::OnStatusChange)
    EVT_PLAYER_PLAY_STATE_CHANGE(kPlayerId, CPlayerHost::OnPlayStateChange)
wxEND_EVENT_TABLE()

} // namespace
