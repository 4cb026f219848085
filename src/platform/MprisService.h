#pragma once
// Desktop media controls: the program as a media player on the session bus
// (MPRIS 2, bus name org.mpris.MediaPlayer2.<name>, object
// /org/mpris/MediaPlayer2), so that media keys, the desktop's player applet
// and tools such as playerctl can see and drive it.
//
// The service connects and takes its name in the background: creating it
// never waits for the bus. Without a session bus, or when another program
// holds the name, the program simply goes on without media controls (one line
// on stderr says why). Calls from the bus are handed to the handler on the
// thread that runs the default GLib main context, which is the GUI thread.
// The program tells the service what it is doing through the setters; each
// setter announces (PropertiesChanged) only the values that really changed.

#include <memory>
#include <string>

namespace platform
{

enum class EMprisPlaybackStatus
{
    Playing,
    Paused,
    Stopped
};

// "Playing", "Paused" or "Stopped", as the bus spells them.
const char* MprisPlaybackStatusText(EMprisPlaybackStatus eStatus);

// What plays now. An empty text is left out of what the bus sees.
struct MprisMetadata
{
    std::string trackId; // a D-Bus object path naming what plays
    std::string title;
    std::string artist;
    std::string url;

    bool operator==(const MprisMetadata& other) const
    {
        return trackId == other.trackId && title == other.title && artist == other.artist &&
               url == other.url;
    }
    bool operator!=(const MprisMetadata& other) const { return !(*this == other); }
};

// The track id meaning "nothing is chosen".
inline constexpr const char* kMprisNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

// What the player can be asked to do right now. Whether it can be controlled
// at all does not change while the service lives, so it is no part of this.
struct MprisCapabilities
{
    bool canGoNext = false;
    bool canGoPrevious = false;
    bool canPlay = false;
    bool canPause = false;

    bool operator==(const MprisCapabilities& other) const
    {
        return canGoNext == other.canGoNext && canGoPrevious == other.canGoPrevious &&
               canPlay == other.canPlay && canPause == other.canPause;
    }
    bool operator!=(const MprisCapabilities& other) const { return !(*this == other); }
};

// What the program does when the bus asks for something.
class IMprisHandler
{
public:
    virtual ~IMprisHandler() = default;
    virtual void OnRaise() = 0;
    virtual void OnQuit() = 0;
    virtual void OnPlay() = 0;
    virtual void OnPause() = 0;
    virtual void OnPlayPause() = 0;
    virtual void OnStop() = 0;
    virtual void OnNext() = 0;
    virtual void OnPrevious() = 0;
    // A new volume, already within 0.0 to 1.0. The service does not take it
    // as the current volume: the program announces the volume it really set.
    virtual void OnSetVolume(double dVolume) = 0;
};

class CMprisService
{
public:
    enum class EBusState
    {
        Connecting, // still on its way to the bus and the name
        Offered,    // the name is ours: media controls see the program
        Unavailable // no session bus, the name is taken, or the bus went away
    };

    // Starts connecting to the session bus and asking for the name
    // "org.mpris.MediaPlayer2." + strPlayerName. The handler must outlive
    // the service. strIdentity and strDesktopEntry are what the bus shows as
    // the player's name and desktop file (without ".desktop").
    CMprisService(IMprisHandler& handler, const std::string& strPlayerName,
                  const std::string& strIdentity, const std::string& strDesktopEntry);
    // Gives the name back and leaves the bus.
    ~CMprisService();
    CMprisService(const CMprisService&) = delete;
    CMprisService& operator=(const CMprisService&) = delete;

    EBusState GetBusState() const;
    const std::string& GetBusName() const;

    void SetPlaybackStatus(EMprisPlaybackStatus eStatus);
    void SetMetadata(const MprisMetadata& metadata);
    // 0.0 to 1.0; values outside are clamped.
    void SetVolume(double dVolume);
    void SetCapabilities(const MprisCapabilities& capabilities);

    EMprisPlaybackStatus GetPlaybackStatus() const;
    const MprisMetadata& GetMetadata() const;
    double GetVolume() const;
    const MprisCapabilities& GetCapabilities() const;

private:
    struct CBusSide;
    std::unique_ptr<CBusSide> m_pBus;
};

} // namespace platform
