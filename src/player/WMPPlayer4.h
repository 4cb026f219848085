#pragma once
// The player control of the radio page: a panel that plays internet radio
// and TV streams with libmpv, shows a TV channel's picture in its upper part
// and its own transport controls below it (play/pause, stop, a status line,
// mute and a volume slider).
//
// SetURL() opens an address and starts it at once, replacing whatever plays.
// Only network stream addresses are handed to the engine; any other address
// is not opened, and the status text says why. Whenever the status text
// changes the control raises a StatusChange event (EVT_PLAYER_STATUS_CHANGE
// with the control's id, the new text in GetString()), and whenever the play
// state changes a PlayStateChange event (EVT_PLAYER_PLAY_STATE_CHANGE, the
// state in GetInt()), and whenever the volume changes (the person moves the
// slider, the engine reports its own, or SetVolume) a VolumeChange event
// (EVT_PLAYER_VOLUME_CHANGE, the volume in GetInt()). All are command events
// and reach the parent window.
//
// The engine works on threads of its own; its wake-up call only queues an
// event on this window, and every call into the engine happens on the GUI
// thread without waiting for it. The engine starts with the options of
// CPlayerOptions (WAVECREST_PLAYER_OPTIONS included).

#include "player/PlayerStatus.h"
#include "player/WMPControls.h"

#include <wx/panel.h>

#include <atomic>
#include <cstdint>

struct mpv_handle;
struct mpv_event;
struct mpv_event_property;
class wxButton;
class wxSlider;
class wxStaticText;
class wxThreadEvent;
class wxToggleButton;
class wxWindowCreateEvent;

wxDECLARE_EVENT(wcEVT_PLAYER_STATUS_CHANGE, wxCommandEvent);
wxDECLARE_EVENT(wcEVT_PLAYER_PLAY_STATE_CHANGE, wxCommandEvent);
wxDECLARE_EVENT(wcEVT_PLAYER_VOLUME_CHANGE, wxCommandEvent);

#define EVT_PLAYER_STATUS_CHANGE(id, func)                                                         \
    wx__DECLARE_EVT1(wcEVT_PLAYER_STATUS_CHANGE, id, wxCommandEventHandler(func))
#define EVT_PLAYER_PLAY_STATE_CHANGE(id, func)                                                     \
    wx__DECLARE_EVT1(wcEVT_PLAYER_PLAY_STATE_CHANGE, id, wxCommandEventHandler(func))
#define EVT_PLAYER_VOLUME_CHANGE(id, func)                                                         \
    wx__DECLARE_EVT1(wcEVT_PLAYER_VOLUME_CHANGE, id, wxCommandEventHandler(func))

class CWMPPlayer4 : public wxPanel
{
public:
    CWMPPlayer4();
    CWMPPlayer4(wxWindow* pParent, wxWindowID nId, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
    ~CWMPPlayer4() override;

    // Creates the window and starts the engine; false when the engine cannot
    // be started (the window exists then, and its status text says so).
    bool Create(wxWindow* pParent, wxWindowID nId, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    // Opens the address and starts playing it, replacing what plays.
    void SetURL(const wxString& strUrl);
    wxString GetURL() const { return m_strUrl; }
    CWMPControls GetControls() { return CWMPControls(this); }
    wxString GetStatusText() const { return m_strStatusText; }
    CPlayerStatus::EState GetPlayState() const { return m_status.GetState(); }
    // The title the stream announces for what plays now ("" when none).
    wxString GetStreamTitle() const { return m_status.GetStreamTitle(); }

    void Stop();
    void Play();
    void Pause();
    int GetVolume() const { return m_nVolume; }
    void SetVolume(int nVolume);
    bool IsMuted() const { return m_bMuted; }
    void SetMute(bool bMute);

    // True once the engine has started.
    bool IsEngineReady() const { return m_pMpv != nullptr; }
    // The X11 window the picture is drawn in (0 until the window is shown).
    unsigned long GetVideoWindowId() const { return m_nVideoWindowId; }
    // True while the engine shows a picture.
    bool IsShowingVideo() const { return m_bShowingVideo; }

private:
    enum
    {
        ID_PLAY_PAUSE = wxID_HIGHEST + 1,
        ID_STOP,
        ID_MUTE,
        ID_VOLUME,
        ID_VIDEO,
        ID_ENGINE_WAKE_UP
    };

    static void OnEngineWakeUpCallback(void* pContext);
    bool StartEngine();
    void CreateControls();
    void EmbedVideo();
    void HandleEngineEvent(const mpv_event& event);
    void HandleReply(const mpv_event& event);
    void HandleStartFile(const mpv_event& event);
    void HandleEndFile(const mpv_event& event);
    void HandleLogMessage(const mpv_event& event);
    void ApplyPendingEnd();
    void HandlePropertyChange(const mpv_event_property& property, std::uint64_t nId);
    void SetEngineFlag(const char* pszName, bool bValue);
    void ForgetCurrentStream();
    void UpdateStatus();
    void NotifyVolumeChange();

    void OnEngineWakeUp(wxThreadEvent& event);
    void OnWindowCreate(wxWindowCreateEvent& event);
    void OnPlayPause(wxCommandEvent& event);
    void OnStopButton(wxCommandEvent& event);
    void OnMuteButton(wxCommandEvent& event);
    void OnVolumeSlider(wxCommandEvent& event);

    mpv_handle* m_pMpv;
    std::atomic<bool> m_bWakeUpQueued;
    bool m_bEngineGone;
    CPlayerStatus m_status;
    wxString m_strUrl;
    wxString m_strStatusText;
    CPlayerStatus::EState m_eLastState;
    // Which of the engine's playlist entries belong to the latest SetURL:
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
    double m_dAudioBitrate;
    double m_dVideoBitrate;
    int m_nVolume;
    bool m_bVolumeTouched;
    bool m_bMuted;
    unsigned long m_nVideoWindowId;
    bool m_bShowingVideo;

    wxWindow* m_pVideo;
    wxButton* m_pPlayPause;
    wxButton* m_pStop;
    wxStaticText* m_pStatusLabel;
    wxToggleButton* m_pMute;
    wxSlider* m_pVolume;

    wxDECLARE_DYNAMIC_CLASS(CWMPPlayer4);
    wxDECLARE_NO_COPY_CLASS(CWMPPlayer4);
    wxDECLARE_EVENT_TABLE();
};
