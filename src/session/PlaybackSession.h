#pragma once
// The program's playback, without a window: the application makes one
// session at start and keeps it until the program ends. The session owns the
// engine, knows the chosen channel (its name, address and row), takes the
// requests of every way in (the radio page's list, the station directory,
// playlist files and the command line, the desktop's media controls, the hot
// keys and the tray, which reach it through the radio page's commands),
// decides what auto-play plays, and publishes the play state to the media
// controls (GetMediaSession).
//
// The radio page shows the session's player: while it is open it binds
// itself (Bind) and its player control shows the session's engine; closing
// it ends playback (Unbind ends the engine). The one exception is the
// program's start: with auto-play on, the channel played last plays at once
// (PlayRememberedAtStart), before any window is made, and the radio page
// that opens then takes that engine over.

#include "session/MediaSession.h"
#include "session/PlayRequest.h"
#include "session/PlaybackEngine.h"

#include <wx/string.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The radio page, as the session sees it while the page is bound.
class IPlaybackPage
{
public:
    virtual ~IPlaybackPage() = default;
    // What the engine reports has changed: the page's player shows it.
    virtual void OnPlaybackChanged() = 0;
    // Another address is about to be opened.
    virtual void OnOpening() = 0;
    // The channels join My channels and the first plays, as its row.
    virtual void AddChannelsAndPlayFirst(const std::vector<CChannelRecord>& channels) = 0;
    // A station that is no row plays now: no row stays selected.
    virtual void ClearRowSelection() = 0;
    // The list's Play, Next and Previous: the selected row (else the first),
    // the row after it and the row before it.
    virtual void PlayChosenRow() = 0;
    virtual void PlayNextRow() = 0;
    virtual void PlayPreviousRow() = 0;
};

// The channel list without a find text, as auto-play reads it.
class IChannelRows
{
public:
    virtual ~IChannelRows() = default;
    virtual int GetListCount() const = 0;
    // The address of the channel with that index ("" when there is none).
    virtual std::string AddressAt(int index) const = 0;
    // The index of a channel with the address, the one nearest `near`
    // first (-1 when none has it).
    virtual int FindAddress(const std::string& address, int near) const = 0;
};

class CPlaybackSession
{
public:
    explicit CPlaybackSession(EngineFactory makeEngine = MakeMpvEngine);
    ~CPlaybackSession();
    CPlaybackSession(const CPlaybackSession&) = delete;
    CPlaybackSession& operator=(const CPlaybackSession&) = delete;

    // The session of the running program (nullptr before the application
    // has made it, and in tests without one).
    static CPlaybackSession* Program();
    static void SetProgram(CPlaybackSession* pSession);

    // What the media controls listen to; a new listener is told the state
    // of a playback under way with Republish.
    CMediaSession& GetMediaSession() { return m_media; }
    void Republish();
    // How the session brings the radio page up, for a request that needs
    // its list while another page shows.
    void SetRadioPageOpener(std::function<void()> open) { m_openRadioPage = std::move(open); }

    // At the program's start: with auto-play on and a network stream
    // address remembered, opens that address now. True when it did.
    bool PlayRememberedAtStart();

    // The radio page opens and closes. Bind makes the engine unless one
    // runs; once the page's list is ready, TakeWaitingRequests hands it what
    // waited for it and says whether something asked for (not auto-play)
    // plays or is to play.
    IPlaybackEngine& Bind(IPlaybackPage& page);
    bool TakeWaitingRequests();
    // Ends playback and the engine; the page's player control must have let
    // go of the engine first.
    void Unbind(IPlaybackPage& page);
    bool IsBound() const { return m_pPage != nullptr; }
    IPlaybackEngine* GetEngine() const { return m_pEngine.get(); }

    // The ways in. A request from elsewhere: a playlist's channels wait for
    // the radio page's list, a station plays at once.
    void Request(const PlayRequest& request);
    // A row of the list plays as the chosen channel (listIndex: its index
    // in the list without a find text, which is remembered with its
    // address). With bKeepPlaying the address is not opened again when it
    // plays already.
    void PlayRow(const MediaChannel& channel, int listIndex, bool bKeepPlaying = false);
    // The chosen station that is no row, again.
    void PlayStationAgain();
    void Play();
    void Stop();
    void Pause();
    void PlayPause();
    // A volume from 0.0 to 1.0.
    void SetVolume(double dVolume);
    void PlayNext();
    void PlayPrevious();

    // Auto-play: the index in the list without a find text of the channel
    // played last (-1: none). Before the station list has loaded only My
    // channels are there, and only the address finds one of them.
    static int ChooseAutoPlayIndex(const IChannelRows& rows, bool bStationListLoaded);
    static bool IsAutoPlayOn();
    // Whether the engine plays (or opens) that address now.
    bool PlaysNow(const wxString& strAddress) const;
    const MediaChannel& GetChosenChannel() const { return m_chosen; }
    bool IsPlayingHandedStation() const { return m_bHandedStation; }

private:
    IPlaybackEngine& Engine();
    void Open(const wxString& strAddress);
    void OnEngineChanged();
    void Publish();
    void ShowRadioPage();

    EngineFactory m_makeEngine;
    std::unique_ptr<IPlaybackEngine> m_pEngine;
    IPlaybackPage* m_pPage = nullptr;
    MediaChannel m_chosen;
    bool m_bHandedStation = false; // a station from elsewhere plays, not a row
    std::vector<std::vector<CChannelRecord>> m_waitingChannels; // for the list
    CMediaSession m_media;
    MediaState m_published;
    bool m_bPublished = false;
    double m_dLastVolume = 0.5;
    std::function<void()> m_openRadioPage;
};
