// The playback session without a window: the ways in, what auto-play
// chooses, and the page's closing, with an engine and a page of the test's own.

#include "session/PlaybackSession.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using EState = CPlayerStatus::EState;
using platform::EMprisPlaybackStatus;

// What the session asked of its engine, kept beyond the engine's end.
struct EngineLog
{
    std::vector<std::string> opened;
    std::string named; // the name given to a stream that plays on
    std::vector<std::string> commands;
    int made = 0;
    int ended = 0;
    EState state = EState::Ready;
    int volume = 50;
    std::function<void()> changed;
};

class CFakeEngine : public IPlaybackEngine
{
public:
    explicit CFakeEngine(EngineLog& log) : m_log(log) { ++m_log.made; }
    ~CFakeEngine() override { ++m_log.ended; }
    void SetChangeHandler(std::function<void()> handler) override { m_log.changed = handler; }
    void Open(const wxString& strUrl, const wxString& /*strChannelName*/) override
    {
        m_url = strUrl;
        m_log.opened.push_back(strUrl.utf8_string());
        m_log.state = EState::Connecting;
    }
    wxString GetUrl() const override { return m_url; }
    void NameChannel(const wxString& strChannelName) override
    {
        m_log.named = strChannelName.utf8_string();
    }
    void Stop() override { Command("stop", EState::Stopped); }
    void Play() override { Command("play", EState::Playing); }
    void Pause() override { Command("pause", EState::Paused); }
    int GetVolume() const override { return m_log.volume; }
    void SetVolume(int nVolume) override { m_log.volume = nVolume; }
    EState GetState() const override { return m_log.state; }
    wxString GetStreamTitle() const override { return {}; }
    CPlayerEngine* GetPlayerEngine() override { return nullptr; }

private:
    void Command(const char* name, EState state)
    {
        m_log.commands.push_back(name);
        m_log.state = state;
    }
    EngineLog& m_log;
    wxString m_url;
};

class CFakePage : public IPlaybackPage
{
public:
    void OnPlaybackChanged() override { ++changes; }
    void OnOpening() override { ++openings; }
    void AddChannelsAndPlayFirst(const std::vector<CChannelRecord>& channels) override
    {
        for (const CChannelRecord& channel : channels)
            added.push_back(channel.GetUrl().utf8_string());
    }
    void ClearRowSelection() override { asked.push_back("clear"); }
    void PlayChosenRow() override { asked.push_back("play"); }
    void PlayNextRow() override { asked.push_back("next"); }
    void PlayPreviousRow() override { asked.push_back("previous"); }

    int changes = 0;
    int openings = 0;
    std::vector<std::string> added;
    std::vector<std::string> asked;
};

// The channel list without a find text: its rows' addresses.
class CRows : public IChannelRows
{
public:
    explicit CRows(std::vector<std::string> addresses) : m_addresses(std::move(addresses)) {}
    int GetListCount() const override { return static_cast<int>(m_addresses.size()); }
    std::string AddressAt(int index) const override
    {
        return index >= 0 && index < GetListCount() ? m_addresses[index] : std::string();
    }
    int FindAddress(const std::string& address, int /*near*/) const override
    {
        for (int index = 0; index < GetListCount(); ++index)
            if (m_addresses[index] == address)
                return index;
        return -1;
    }

private:
    std::vector<std::string> m_addresses;
};

class CListener : public IMediaStateListener
{
public:
    void OnMediaStateChanged(const MediaState& state) override { states.push_back(state); }
    std::vector<MediaState> states;
};

constexpr const char* kRemembered = "http://radio.example/remembered.mp3";

class PlaybackSession : public ::testing::Test
{
protected:
    PlaybackSession() : m_session([this] { return std::make_unique<CFakeEngine>(m_engine); })
    {
        m_session.GetMediaSession().SetListener(&m_listener);
        m_session.SetRadioPageOpener([this] { ++m_radioPageOpened; });
        WriteSettingText(setting::LastChannelAddress, kRemembered);
        WriteSettingInt(setting::LastChannelIndex.name, 1);
    }

    CTempHome m_home;
    EngineLog m_engine;
    CListener m_listener;
    int m_radioPageOpened = 0;
    CPlaybackSession m_session;
    CFakePage m_page;
};

CChannelRecord Channel(const std::string& address)
{
    CChannelRecord channel;
    channel.SetField(CChannelRecord::kUrl, wxString::FromUTF8(address));
    return channel;
}
} // namespace

TEST_F(PlaybackSession, TheRememberedStreamPlaysAtStartAndTheRadioPageTakesItOver)
{
    ASSERT_TRUE(m_session.PlayRememberedAtStart());
    EXPECT_EQ(m_engine.opened, std::vector<std::string>{kRemembered});
    ASSERT_FALSE(m_listener.states.empty());
    EXPECT_EQ(m_listener.states.back().eStatus, EMprisPlaybackStatus::Playing);

    // The page opens with the same engine; the remembered row is selected
    // without opening the stream again.
    m_session.Bind(m_page);
    EXPECT_FALSE(m_session.TakeWaitingRequests()) << "auto-play may choose";
    EXPECT_EQ(m_engine.made, 1);
    m_session.PlayRow(MediaChannel{1, "Remembered", kRemembered}, 1, true);
    EXPECT_EQ(m_engine.opened.size(), 1u);
    EXPECT_EQ(m_engine.named, "Remembered") << "the status names the channel";
    EXPECT_EQ(m_listener.states.back().metadata.title, "Remembered");

    // Another row replaces it.
    m_session.PlayRow(MediaChannel{0, "Other", "http://radio.example/other.mp3"}, 0, true);
    EXPECT_EQ(m_engine.opened.back(), "http://radio.example/other.mp3");
    EXPECT_EQ(m_page.openings, 1);
    EXPECT_EQ(GetSettingText(setting::LastChannelAddress), "http://radio.example/other.mp3");
    EXPECT_EQ(GetSetting(setting::LastChannelIndex), 0);
}

TEST_F(PlaybackSession, NothingPlaysAtStartWithoutAutoPlayOrAStreamAddress)
{
    WriteSettingInt(setting::AutoPlay.name, 0);
    EXPECT_FALSE(m_session.PlayRememberedAtStart());
    WriteSettingInt(setting::AutoPlay.name, 1);
    WriteSettingText(setting::LastChannelAddress, "/home/someone/music.mp3");
    EXPECT_FALSE(m_session.PlayRememberedAtStart());
    EXPECT_EQ(m_engine.made, 0) << "no engine is started for nothing";
}

TEST_F(PlaybackSession, AStationFromTheDirectoryPlaysAtOnceAndBringsTheRadioPage)
{
    m_session.Request(PlayRequest{{}, "Found", "http://radio.example/found.mp3"});
    EXPECT_EQ(m_engine.opened, std::vector<std::string>{"http://radio.example/found.mp3"});
    EXPECT_EQ(m_radioPageOpened, 1);
    EXPECT_TRUE(m_session.IsPlayingHandedStation());
    m_session.Bind(m_page);
    EXPECT_TRUE(m_session.TakeWaitingRequests()) << "auto-play does not replace it";
    EXPECT_EQ(m_engine.made, 1);

    // With the page open: no row stays selected, and Play without a row
    // plays the station again.
    m_session.Request(PlayRequest{{}, "Next", "http://radio.example/next.mp3"});
    EXPECT_EQ(m_page.asked, std::vector<std::string>{"clear"});
    EXPECT_EQ(m_radioPageOpened, 1);
    m_session.PlayStationAgain();
    EXPECT_EQ(m_engine.opened.back(), "http://radio.example/next.mp3");
    EXPECT_EQ(m_engine.opened.size(), 3u);
}

TEST_F(PlaybackSession, APlaylistsChannelsWaitForTheRadioPagesList)
{
    m_session.Request(
        PlayRequest{{Channel("http://a.example/1"), Channel("http://a.example/2")}, {}, {}});
    EXPECT_EQ(m_radioPageOpened, 1);
    EXPECT_TRUE(m_engine.opened.empty());
    m_session.Bind(m_page);
    EXPECT_TRUE(m_page.added.empty()) << "not before the page's list is ready";
    EXPECT_TRUE(m_session.TakeWaitingRequests());
    EXPECT_EQ(m_page.added, (std::vector<std::string>{"http://a.example/1", "http://a.example/2"}));

    // While the page is open they go to it at once, once.
    m_session.Request(PlayRequest{{Channel("http://a.example/3")}, {}, {}});
    EXPECT_EQ(m_page.added.back(), "http://a.example/3");
    EXPECT_FALSE(m_session.TakeWaitingRequests());
    EXPECT_EQ(m_page.added.size(), 3u);
}

TEST_F(PlaybackSession, MediaControlsAndHotKeysActThroughTheSession)
{
    // Without the radio page nothing can be asked for.
    m_session.Play();
    m_session.PlayNext();
    m_session.PlayPause();
    EXPECT_TRUE(m_page.asked.empty());
    EXPECT_EQ(m_engine.made, 0);

    m_session.Bind(m_page);
    m_session.TakeWaitingRequests();
    m_session.PlayPause(); // nothing opened yet: plays the chosen row
    m_session.Play();
    m_session.PlayNext();
    m_session.PlayPrevious();
    EXPECT_EQ(m_page.asked, (std::vector<std::string>{"play", "play", "next", "previous"}));

    m_session.PlayRow(MediaChannel{0, "Tone", "http://radio.example/tone.mp3"}, 0);
    m_session.PlayPause();
    m_session.PlayPause();
    m_session.Pause();
    m_session.Stop();
    EXPECT_EQ(m_engine.commands, (std::vector<std::string>{"pause", "play", "pause", "stop"}));
    m_session.SetVolume(0.25);
    EXPECT_EQ(m_engine.volume, 25);
}

TEST_F(PlaybackSession, ClosingTheRadioPageEndsPlaybackAndTheEngine)
{
    m_session.Bind(m_page);
    m_session.PlayRow(MediaChannel{0, "Tone", "http://radio.example/tone.mp3"}, 0);
    m_engine.volume = 30;
    m_engine.changed();
    EXPECT_EQ(m_page.changes, 1);
    m_session.Unbind(m_page);
    EXPECT_EQ(m_engine.ended, 1);
    EXPECT_EQ(m_session.GetEngine(), nullptr);
    const MediaState& last = m_listener.states.back();
    EXPECT_FALSE(last.bRadioPageOpen);
    EXPECT_EQ(last.eStatus, EMprisPlaybackStatus::Stopped);
    EXPECT_DOUBLE_EQ(last.dVolume, 0.3);
    EXPECT_FALSE(m_session.PlaysNow("http://radio.example/tone.mp3"));
}

TEST_F(PlaybackSession, TheMediaControlsHearOfChangesOnly)
{
    m_session.Bind(m_page);
    m_session.PlayRow(MediaChannel{0, "Tone", "http://radio.example/tone.mp3"}, 0);
    const size_t told = m_listener.states.size();
    m_engine.changed();
    m_engine.changed();
    EXPECT_EQ(m_listener.states.size(), told);
    m_engine.state = EState::Paused;
    m_engine.changed();
    EXPECT_EQ(m_listener.states.size(), told + 1);
}

struct AutoPlayCase
{
    const char* name;
    std::vector<std::string> rows;
    bool listLoaded;
    int expected;
};

class AutoPlayChoice : public ::testing::TestWithParam<AutoPlayCase>
{
protected:
    CTempHome m_home;
};

TEST_P(AutoPlayChoice, FollowsTheIndexAndTheAddressRemembered)
{
    WriteSettingText(setting::LastChannelAddress, kRemembered);
    WriteSettingInt(setting::LastChannelIndex.name, 1);
    EXPECT_EQ(CPlaybackSession::ChooseAutoPlayIndex(CRows(GetParam().rows), GetParam().listLoaded),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AutoPlayChoice,
    ::testing::Values(
        AutoPlayCase{"IndexHasTheAddress", {"http://x/0", kRemembered, kRemembered}, true, 1},
        AutoPlayCase{"AddressMoved", {kRemembered, "http://x/1", "http://x/2"}, true, 0},
        // One of My channels played while the station list could not be
        // had: the list's rows now come before it.
        AutoPlayCase{"OwnChannelBehindTheList", {"http://x/0", "http://x/1", kRemembered}, true, 2},
        AutoPlayCase{"AddressGoneTheIndexPlays", {"http://x/0", "http://x/1"}, true, 1},
        AutoPlayCase{"MyChannelsBeforeTheListByAddress", {"http://x/0", kRemembered}, false, 1},
        AutoPlayCase{"MyChannelsBeforeTheListNotByIndex", {"http://x/0", "http://x/1"}, false, -1}),
    [](const auto& info) { return std::string(info.param.name); });
