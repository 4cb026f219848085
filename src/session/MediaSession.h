#pragma once
// What desktop media controls (media keys, the desktop's player applet) are
// told about the radio page, and the rules that turn the page's state into
// it: no window is needed for any of it.
//
// The playback session reports its state through Publish() (everything can
// be asked for only while the radio page is open); the application, while it
// offers media controls, listens (see CMediaSession::SetListener).

#include "platform/MprisService.h"
#include "player/PlayerStatus.h"

#include <wx/string.h>

#include <string>

// What the media controls see of the radio page at one moment.
struct MediaState
{
    bool bRadioPageOpen = false;
    platform::EMprisPlaybackStatus eStatus = platform::EMprisPlaybackStatus::Stopped;
    platform::MprisMetadata metadata{platform::kMprisNoTrack, {}, {}, {}};
    double dVolume = 1.0;
};

// The channel chosen last on the radio page (row -1: none).
struct MediaChannel
{
    int nRow = -1;
    wxString strName;
    wxString strAddress;
};

class IMediaStateListener
{
public:
    virtual ~IMediaStateListener() = default;
    virtual void OnMediaStateChanged(const MediaState& state) = 0;
};

class CMediaSession
{
public:
    // What Play/Pause asks of the player.
    enum class EPlayPauseAction
    {
        Pause,            // something is on its way or playing
        Resume,           // the player plays its address again (or goes on after a pause)
        PlayChosenChannel // the player has no address yet: play as the Play command does
    };

    // A stream on its way (connecting, buffering) counts as playing: it plays
    // by itself in a moment. A stream that failed, ended or was refused, and a
    // player that has not played yet, count as stopped.
    static platform::EMprisPlaybackStatus PlaybackStatusFor(CPlayerStatus::EState eState);

    // The channel's name is the title. When the stream announces a title of
    // its own (the song playing now), that is the title and the channel's
    // name is the artist, so that both are seen. The address is the url.
    static platform::MprisMetadata MetadataFor(const MediaChannel& channel,
                                               const wxString& strStreamTitle);
    // The track id of a row; the "no track" id without a row.
    static std::string TrackIdFor(int nRow);

    // The player's 0 to 100 and the media controls' 0.0 to 1.0.
    static double VolumeFromPlayer(int nVolume);
    static int VolumeForPlayer(double dVolume);

    static EPlayPauseAction PlayPauseActionFor(CPlayerStatus::EState eState, bool bHasAddress);

    // Everything acts on the radio page only: without it nothing can be done.
    static platform::MprisCapabilities CapabilitiesFor(bool bRadioPageOpen);

    // The state of an open radio page.
    static MediaState StateOf(CPlayerStatus::EState eState, const MediaChannel& channel,
                              const wxString& strStreamTitle, int nPlayerVolume);
    // The state once the radio page is closed: the player is gone, only the
    // volume is remembered.
    static MediaState WithoutRadioPage(double dLastVolume);

    // The listener that gets every state published on this session (nullptr:
    // nobody listens).
    void SetListener(IMediaStateListener* pListener) { m_pListener = pListener; }
    void Publish(const MediaState& state) const;

private:
    IMediaStateListener* m_pListener = nullptr;
};
