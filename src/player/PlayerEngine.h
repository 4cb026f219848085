#pragma once
// The playback engine behind the player control, without any window: it
// starts libmpv with the options of CPlayerOptions, opens the addresses it
// is given (only network streams; any other address is refused and the
// status says why), carries out the transport commands and turns what the
// engine reports into a CPlayerStatus.
//
// libmpv works on threads of its own. Its wake-up call only queues an event
// on this handler; the events are read on the GUI thread, and every call
// into libmpv happens there without waiting for the engine. After each batch
// the owner's change handler runs, and the owner reads what it needs.
//
// The picture: the engine draws video only into a render context that a
// video surface makes with CreateRenderContext() (the engine's video output
// is libmpv's own, never a window). Until a surface says it is ready, a
// stream's video is left aside and only its sound plays.
//
// Every address the engine is about to open passes CLoadVetting first (the
// engine's "on_load" hook waits meanwhile): the address the person chose,
// and of each playlist a stream answers with only the first entry, and only
// where its source may lead. A refused address is not opened at all, and the
// status says why.
//
// Live streams drop. A stream that has played and then ends without a known
// duration, breaks or stalls is opened again on the schedule of
// CReconnectPolicy; meanwhile the status says "Reconnecting..." and the
// stream still counts as playing. Open, Stop and the engine's end cancel the
// tries at once.

#include "player/LoadVetting.h"
#include "player/PlayerStatus.h"
#include "player/ReconnectPolicy.h"

#include <wx/event.h>
#include <wx/timer.h>

#include <atomic>
#include <cstdint>
#include <functional>

struct mpv_handle;
struct mpv_event;
struct mpv_event_property;
struct mpv_render_context;
struct mpv_render_param;

class CPlayerEngine : public wxEvtHandler
{
public:
    CPlayerEngine();
    ~CPlayerEngine() override;

    // Starts libmpv; false when it cannot be started (the status says so).
    bool Start();
    bool IsReady() const { return m_pMpv != nullptr && !m_bEngineGone; }

    // Runs on the GUI thread after every batch of engine reports and after
    // every command that changes what the owner shows.
    void SetChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

    // Opens the address and plays it, replacing what plays; strChannelName
    // is the channel's name in the person's list ("" when it has none).
    void Open(const wxString& strUrl, const wxString& strChannelName = wxString());
    const wxString& GetUrl() const { return m_strUrl; }
    // Names the channel that plays without opening it again.
    void NameChannel(const wxString& strChannelName);
    void Stop();
    // Goes on after a pause, or opens the last address again.
    void Play();
    void Pause();
    int GetVolume() const { return m_nVolume; }
    void SetVolume(int nVolume);
    bool IsMuted() const { return m_bMuted; }
    void SetMute(bool bMute);

    const CPlayerStatus& GetStatus() const { return m_status; }
    // True when the current stream has a picture (shown or not).
    bool HasVideoTrack() const { return m_nVideoTrack >= 0; }
    // True while the engine shows a picture.
    bool IsShowingVideo() const { return m_bShowingVideo; }

    // For a video surface: a render context on this engine (nullptr, and
    // pnError set to libmpv's error code, when it cannot be made). The
    // surface frees it, always before the engine ends.
    mpv_render_context* CreateRenderContext(mpv_render_param* pParams, int* pnError);
    // A surface has a render context now: streams show their picture.
    void EnableVideo();
    // Why no picture can be shown ("" when a surface draws again).
    void SetSurfaceProblem(const wxString& strReason);

private:
    static void OnWakeUpCallback(void* pContext);
    void OnWakeUp(wxThreadEvent& event);
    void HandleEngineEvent(const mpv_event& event);
    void HandleReply(const mpv_event& event);
    void HandleStartFile(const mpv_event& event);
    void HandleEndFile(const mpv_event& event);
    void HandleLogMessage(const mpv_event& event);
    void HandleLoadHook(const mpv_event& event);
    void OnLoadVetted(std::uint64_t nHook, const std::string& strRefusal);
    // Lets the engine go on without opening the address; strReason (when
    // given) is why the current stream fails.
    void RefuseLoad(std::uint64_t nHook, const wxString& strReason);
    void ReleasePendingLoad();
    void ApplyPendingEnd();
    void HandlePropertyChange(const mpv_event_property& property, std::uint64_t nId);
    void SetEngineFlag(const char* pszName, bool bValue);
    void ForgetCurrentStream();
    void ShowNoPicture();
    void Changed();
    // Asks the engine to play the current address.
    void LoadCurrentUrl();
    // Whether a stream that stopped is opened again; true when a try is due.
    bool ScheduleReconnect();
    CReconnectPolicy::EDrop ClassifyDrop() const;
    void NoteWaitingForData(bool bWaiting);
    bool WasStalled() const;
    void OnReconnectTimer(wxTimerEvent& event);
    void CancelReconnect();

    mpv_handle* m_pMpv;
    std::atomic<bool> m_bWakeUpQueued;
    bool m_bEngineGone;
    std::function<void()> m_onChange;
    CPlayerStatus m_status;
    wxString m_strUrl;
    wxString m_strChannelName;
    // Which of the engine's playlist entries belong to the latest Open:
    // those from m_nFirstEntryId on (none until the engine has answered).
    std::uint64_t m_nLoadRequest;
    std::int64_t m_nFirstEntryId;
    std::int64_t m_nCurrentEntryId;
    wxString m_strLastEngineMessage;
    // How the current stream ended, kept until the engine's messages about
    // it have arrived too (they come after the end itself).
    bool m_bEndPending;
    int m_nEndReason;
    int m_nEndError;
    // The engine could not open a sound output for the current stream.
    bool m_bNoSoundOutput;
    double m_dAudioBitrate;
    double m_dVideoBitrate;
    int m_nVolume;
    bool m_bVolumeTouched;
    bool m_bMuted;
    bool m_bShowingVideo;
    bool m_bVideoEnabled;
    std::int64_t m_nVideoTrack; // the stream's first video track (-1: none)
    // Dropped streams: whether the current address has played since it was
    // opened, the engine's waits for data (the one under way, the last one
    // and when it ended), and the tries.
    bool m_bStreamPlayed;
    bool m_bWaitingForData;
    CReconnectPolicy::Clock::time_point m_waitStart;
    CReconnectPolicy::Clock::time_point m_lastWaitEnd;
    std::chrono::milliseconds m_lastWait{0};
    CReconnectPolicy m_reconnect;
    CLoadVetting m_vetting;
    std::uint64_t m_nPendingHook; // the load waiting for its verdict (0: none)
    wxTimer m_reconnectTimer;
    // Why the current stream shows no picture: the surface's reason (it
    // holds for every stream) and the engine's (for this stream only).
    wxString m_strSurfaceProblem;
    wxString m_strStreamPictureProblem;
};
