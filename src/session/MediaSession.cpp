#include "session/MediaSession.h"

#include <algorithm>
#include <cmath>

platform::EMprisPlaybackStatus CMediaSession::PlaybackStatusFor(CPlayerStatus::EState eState)
{
    using EState = CPlayerStatus::EState;
    switch (eState)
    {
    case EState::Playing:
    case EState::Buffering:
    case EState::Connecting:
        return platform::EMprisPlaybackStatus::Playing;
    case EState::Paused:
        return platform::EMprisPlaybackStatus::Paused;
    case EState::Ready:
    case EState::Stopped:
    case EState::Ended:
    case EState::Failed:
    case EState::Refused:
        break;
    }
    return platform::EMprisPlaybackStatus::Stopped;
}

platform::MprisMetadata CMediaSession::MetadataFor(const MediaChannel& channel,
                                                   const wxString& strStreamTitle)
{
    platform::MprisMetadata metadata;
    metadata.trackId = TrackIdFor(channel.nRow);
    if (channel.nRow < 0)
        return metadata;
    wxString strOwnTitle = strStreamTitle;
    strOwnTitle.Trim(true).Trim(false);
    if (strOwnTitle.empty() || strOwnTitle == channel.strName)
        metadata.title = channel.strName.utf8_string();
    else
    {
        metadata.title = strOwnTitle.utf8_string();
        metadata.artist = channel.strName.utf8_string();
    }
    metadata.url = channel.strAddress.utf8_string();
    return metadata;
}

std::string CMediaSession::TrackIdFor(int nRow)
{
    // Paths under /org/mpris are the media controls' own; ours live under
    // the maker's reversed domain.
    if (nRow < 0)
        return platform::kMprisNoTrack;
    return "/example/tolvane/Wavecrest/channel/" + std::to_string(nRow);
}

double CMediaSession::VolumeFromPlayer(int nVolume)
{
    return std::clamp(nVolume, 0, 100) / 100.0;
}

int CMediaSession::VolumeForPlayer(double dVolume)
{
    if (std::isnan(dVolume))
        return 0;
    return static_cast<int>(std::lround(std::clamp(dVolume, 0.0, 1.0) * 100.0));
}

CMediaSession::EPlayPauseAction CMediaSession::PlayPauseActionFor(CPlayerStatus::EState eState,
                                                                  bool bHasAddress)
{
    if (PlaybackStatusFor(eState) == platform::EMprisPlaybackStatus::Playing)
        return EPlayPauseAction::Pause;
    if (eState == CPlayerStatus::EState::Paused || bHasAddress)
        return EPlayPauseAction::Resume;
    return EPlayPauseAction::PlayChosenChannel;
}

platform::MprisCapabilities CMediaSession::CapabilitiesFor(bool bRadioPageOpen)
{
    platform::MprisCapabilities capabilities;
    capabilities.canGoNext = capabilities.canGoPrevious = bRadioPageOpen;
    capabilities.canPlay = capabilities.canPause = bRadioPageOpen;
    return capabilities;
}

MediaState CMediaSession::StateOf(CPlayerStatus::EState eState, const MediaChannel& channel,
                                  const wxString& strStreamTitle, int nPlayerVolume)
{
    MediaState state;
    state.bRadioPageOpen = true;
    state.eStatus = PlaybackStatusFor(eState);
    state.metadata = MetadataFor(channel, strStreamTitle);
    state.dVolume = VolumeFromPlayer(nPlayerVolume);
    return state;
}

MediaState CMediaSession::WithoutRadioPage(double dLastVolume)
{
    MediaState state;
    state.dVolume = dLastVolume;
    return state;
}

void CMediaSession::Publish(const MediaState& state) const
{
    if (m_pListener)
        m_pListener->OnMediaStateChanged(state);
}
