// The rules behind what desktop media controls are told about the radio
// page: play states, what plays, volume, Play/Pause, and who hears about it.

#include "session/MediaSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using EState = CPlayerStatus::EState;
using platform::EMprisPlaybackStatus;

const std::vector<EState> kAllStates = {EState::Ready,   EState::Stopped,   EState::Paused,
                                        EState::Playing, EState::Buffering, EState::Connecting,
                                        EState::Ended,   EState::Failed,    EState::Refused};

MediaChannel Channel(int nRow, const char* pszName, const char* pszAddress)
{
    MediaChannel channel;
    channel.nRow = nRow;
    channel.strName = wxString::FromUTF8(pszName);
    channel.strAddress = pszAddress;
    return channel;
}

class CRecordingListener : public IMediaStateListener
{
public:
    void OnMediaStateChanged(const MediaState& state) override { m_states.push_back(state); }
    std::vector<MediaState> m_states;
};
} // namespace

TEST(MediaSessionPlaybackStatus, CountsAStreamOnItsWayAsPlaying)
{
    EXPECT_EQ(CMediaSession::PlaybackStatusFor(EState::Playing), EMprisPlaybackStatus::Playing);
    EXPECT_EQ(CMediaSession::PlaybackStatusFor(EState::Connecting), EMprisPlaybackStatus::Playing);
    EXPECT_EQ(CMediaSession::PlaybackStatusFor(EState::Buffering), EMprisPlaybackStatus::Playing);
}

TEST(MediaSessionPlaybackStatus, KeepsAPauseAPause)
{
    EXPECT_EQ(CMediaSession::PlaybackStatusFor(EState::Paused), EMprisPlaybackStatus::Paused);
}

TEST(MediaSessionPlaybackStatus, CountsEveryStreamThatIsNotPlayingAsStopped)
{
    for (EState eState :
         {EState::Ready, EState::Stopped, EState::Ended, EState::Failed, EState::Refused})
        EXPECT_EQ(CMediaSession::PlaybackStatusFor(eState), EMprisPlaybackStatus::Stopped)
            << static_cast<int>(eState);
}

TEST(MediaSessionPlaybackStatus, SpellsTheStatusesAsTheBusDoes)
{
    EXPECT_STREQ(platform::MprisPlaybackStatusText(EMprisPlaybackStatus::Playing), "Playing");
    EXPECT_STREQ(platform::MprisPlaybackStatusText(EMprisPlaybackStatus::Paused), "Paused");
    EXPECT_STREQ(platform::MprisPlaybackStatusText(EMprisPlaybackStatus::Stopped), "Stopped");
}

TEST(MediaSessionMetadata, WithoutAChosenChannelSaysNoTrackAndNothingElse)
{
    const auto metadata = CMediaSession::MetadataFor(MediaChannel(), "Some title");
    EXPECT_EQ(metadata.trackId, "/org/mpris/MediaPlayer2/TrackList/NoTrack");
    EXPECT_EQ(metadata.title, "");
    EXPECT_EQ(metadata.artist, "");
    EXPECT_EQ(metadata.url, "");
}

TEST(MediaSessionMetadata, NamesTheChannelAndItsAddress)
{
    const auto metadata =
        CMediaSession::MetadataFor(Channel(3, "Radio Zürich", "http://zh.example/live"), "");
    EXPECT_EQ(metadata.trackId, "/example/tolvane/Wavecrest/channel/3");
    EXPECT_EQ(metadata.title, "Radio Zürich") << "the name travels as UTF-8";
    EXPECT_EQ(metadata.artist, "");
    EXPECT_EQ(metadata.url, "http://zh.example/live");
}

TEST(MediaSessionMetadata, TheStreamsOwnTitleIsTheTitleAndTheChannelTheArtist)
{
    const auto metadata = CMediaSession::MetadataFor(Channel(0, "Jazz FM", "http://j.example/"),
                                                     "Miles Davis - So What");
    EXPECT_EQ(metadata.title, "Miles Davis - So What");
    EXPECT_EQ(metadata.artist, "Jazz FM");
    EXPECT_EQ(metadata.url, "http://j.example/");
}

TEST(MediaSessionMetadata, AStreamTitleOfSpacesOrTheChannelsOwnNameAddsNothing)
{
    for (const char* pszTitle : {"   ", "Jazz FM", " Jazz FM "})
    {
        const auto metadata =
            CMediaSession::MetadataFor(Channel(0, "Jazz FM", "http://j.example/"), pszTitle);
        EXPECT_EQ(metadata.title, "Jazz FM") << "'" << pszTitle << "'";
        EXPECT_EQ(metadata.artist, "") << "'" << pszTitle << "'";
    }
}

TEST(MediaSessionMetadata, TrackIdsAreObjectPathsOutsideTheMediaControlsOwnPaths)
{
    for (int nRow : {0, 1, 42, 99999})
    {
        const std::string strId = CMediaSession::TrackIdFor(nRow);
        EXPECT_EQ(strId.rfind("/org/mpris", 0), std::string::npos) << strId;
        ASSERT_EQ(strId.front(), '/');
        EXPECT_NE(strId.back(), '/');
        EXPECT_EQ(strId.find("//"), std::string::npos);
        EXPECT_EQ(strId.find_first_not_of(
                      "/ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_"),
                  std::string::npos)
            << strId;
    }
    EXPECT_NE(CMediaSession::TrackIdFor(1), CMediaSession::TrackIdFor(2));
    EXPECT_EQ(CMediaSession::TrackIdFor(-1), platform::kMprisNoTrack);
}

TEST(MediaSessionVolume, ConvertsThePlayersHundredStepsBothWays)
{
    EXPECT_DOUBLE_EQ(CMediaSession::VolumeFromPlayer(0), 0.0);
    EXPECT_DOUBLE_EQ(CMediaSession::VolumeFromPlayer(55), 0.55);
    EXPECT_DOUBLE_EQ(CMediaSession::VolumeFromPlayer(100), 1.0);
    for (int nVolume = 0; nVolume <= 100; ++nVolume)
        EXPECT_EQ(CMediaSession::VolumeForPlayer(CMediaSession::VolumeFromPlayer(nVolume)),
                  nVolume);
    EXPECT_EQ(CMediaSession::VolumeForPlayer(0.554), 55);
    EXPECT_EQ(CMediaSession::VolumeForPlayer(0.556), 56);
}

TEST(MediaSessionVolume, ClampsWhatIsOutsideTheRange)
{
    EXPECT_DOUBLE_EQ(CMediaSession::VolumeFromPlayer(-5), 0.0);
    EXPECT_DOUBLE_EQ(CMediaSession::VolumeFromPlayer(130), 1.0);
    EXPECT_EQ(CMediaSession::VolumeForPlayer(-0.2), 0);
    EXPECT_EQ(CMediaSession::VolumeForPlayer(1.5), 100);
    EXPECT_EQ(CMediaSession::VolumeForPlayer(1e300), 100);
    EXPECT_EQ(CMediaSession::VolumeForPlayer(std::nan("")), 0);
}

TEST(MediaSessionPlayPause, PausesWhatIsPlayingOrOnItsWay)
{
    for (EState eState : {EState::Playing, EState::Connecting, EState::Buffering})
        for (bool bHasAddress : {true, false})
            EXPECT_EQ(CMediaSession::PlayPauseActionFor(eState, bHasAddress),
                      CMediaSession::EPlayPauseAction::Pause)
                << static_cast<int>(eState);
}

TEST(MediaSessionPlayPause, PlaysAgainWhateverElseTheState)
{
    for (EState eState : {EState::Paused, EState::Stopped, EState::Ready, EState::Ended,
                          EState::Failed, EState::Refused})
        EXPECT_EQ(CMediaSession::PlayPauseActionFor(eState, true),
                  CMediaSession::EPlayPauseAction::Resume)
            << static_cast<int>(eState);
}

TEST(MediaSessionPlayPause, WithoutAnAddressPlaysTheChosenChannelAsPlayDoes)
{
    EXPECT_EQ(CMediaSession::PlayPauseActionFor(EState::Ready, false),
              CMediaSession::EPlayPauseAction::PlayChosenChannel);
    EXPECT_EQ(CMediaSession::PlayPauseActionFor(EState::Refused, false),
              CMediaSession::EPlayPauseAction::PlayChosenChannel);
}

TEST(MediaSessionState, AnOpenRadioPageCanDoEverythingAndAClosedOneNothing)
{
    const auto open = CMediaSession::CapabilitiesFor(true);
    EXPECT_TRUE(open.canGoNext && open.canGoPrevious && open.canPlay && open.canPause);
    const auto closed = CMediaSession::CapabilitiesFor(false);
    EXPECT_FALSE(closed.canGoNext || closed.canGoPrevious || closed.canPlay || closed.canPause);
}

TEST(MediaSessionState, DescribesAnOpenPageFromItsPlayerAndChannel)
{
    const MediaState state = CMediaSession::StateOf(
        EState::Buffering, Channel(2, "Four", "http://f.example/"), "Now playing", 30);
    EXPECT_TRUE(state.bRadioPageOpen);
    EXPECT_EQ(state.eStatus, EMprisPlaybackStatus::Playing);
    EXPECT_EQ(state.metadata.title, "Now playing");
    EXPECT_EQ(state.metadata.artist, "Four");
    EXPECT_DOUBLE_EQ(state.dVolume, 0.3);
}

TEST(MediaSessionState, AClosedPageIsStoppedWithNoTrackAndKeepsTheVolume)
{
    const MediaState state = CMediaSession::WithoutRadioPage(0.4);
    EXPECT_FALSE(state.bRadioPageOpen);
    EXPECT_EQ(state.eStatus, EMprisPlaybackStatus::Stopped);
    EXPECT_EQ(state.metadata.trackId, platform::kMprisNoTrack);
    EXPECT_EQ(state.metadata.title, "");
    EXPECT_DOUBLE_EQ(state.dVolume, 0.4);
}

TEST(MediaSessionState, PublishedStatesReachTheListenerWhileThereIsOne)
{
    CMediaSession session;
    session.Publish(CMediaSession::WithoutRadioPage(0.1)); // nobody listens: nothing happens
    CRecordingListener listener;
    session.SetListener(&listener);
    session.Publish(CMediaSession::WithoutRadioPage(0.2));
    session.Publish(CMediaSession::StateOf(EState::Paused, MediaChannel(), "", 70));
    CMediaSession other;
    other.Publish(CMediaSession::WithoutRadioPage(0.25)); // another session's listeners only
    session.SetListener(nullptr);
    session.Publish(CMediaSession::WithoutRadioPage(0.3));
    ASSERT_EQ(listener.m_states.size(), 2u);
    EXPECT_DOUBLE_EQ(listener.m_states[0].dVolume, 0.2);
    EXPECT_EQ(listener.m_states[1].eStatus, EMprisPlaybackStatus::Paused);
}
