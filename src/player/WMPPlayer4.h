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
// The control is put together from three parts: the engine (CPlayerEngine,
// no window), the picture area (CVideoSurface) and the transport bar
// (CTransportBar). The control makes an engine of its own, or shows one that
// lives elsewhere (the program's playback session owns the radio page's):
// then its owner calls EngineChanged() whenever the engine reports, and
// ReleaseEngine() before the engine ends. The picture is drawn with OpenGL, or with the engine's
// software renderer where OpenGL cannot be had or where the environment
// says WAVECREST_VIDEO=software. A double click on the picture shows it
// alone on the whole screen; Esc, F11 or another double click ends that, as
// do a new address, and hiding or minimising the window the control is in.

#include "player/PlayerStatus.h"
#include "player/WMPControls.h"

#include <wx/panel.h>

#include <memory>

class CPlayerEngine;
class CTransportBar;
class CVideoSurface;
class wxFrame;
class wxIconizeEvent;
class wxKeyEvent;
class wxShowEvent;

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
    // Shows an engine that is not the control's own (already started).
    CWMPPlayer4(wxWindow* pParent, wxWindowID nId, CPlayerEngine& engine);
    ~CWMPPlayer4() override;

    // Creates the window and starts the engine; false when the engine cannot
    // be started (the window exists then, and its status text says so).
    bool Create(wxWindow* pParent, wxWindowID nId, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    // Opens the address and starts playing it, replacing what plays.
    void SetURL(const wxString& strUrl, const wxString& strChannelName = wxString());
    wxString GetURL() const;
    CWMPControls GetControls() { return CWMPControls(this); }
    wxString GetStatusText() const { return m_strStatusText; }
    CPlayerStatus::EState GetPlayState() const { return m_eLastState; }
    // The title the stream announces for what plays now ("" when none).
    wxString GetStreamTitle() const;

    void Stop();
    void Play();
    void Pause();
    int GetVolume() const { return m_nVolume; }
    void SetVolume(int nVolume);
    bool IsMuted() const { return m_bMuted; }
    void SetMute(bool bMute);

    // For the owner of an engine shown here: what it reports has changed;
    // and the engine ends (the picture area gives its render context back,
    // and the control shows no engine from now on).
    void EngineChanged() { OnEngineChange(); }
    void ReleaseEngine();

    // True once the engine has started.
    bool IsEngineReady() const;
    // True while the engine shows a picture.
    bool IsShowingVideo() const;

    // The window the picture is drawn in now (the full-screen one while
    // that is shown).
    wxWindow* GetPictureWindow() const;
    // True when the picture is drawn by the software renderer.
    bool IsSoftwareVideo() const;

    bool IsFullScreen() const { return m_pFullScreen != nullptr; }
    void SetFullScreen(bool bFullScreen);

protected:
    // The player lays its controls out whenever its size is set, without
    // waiting for the toolkit's size event: GTK sends none for a size the
    // window already had when it comes on screen.
    void DoSetSize(int x, int y, int width, int height, int sizeFlags) override;

private:
    void CreateControls();
    // The parts, once the window exists and the engine is known.
    void CreateWindow(wxWindow* pParent);
    void LayoutControls();
    void OnEngineChange();
    void NotifyVolumeChange();

    void OnPlayPause(wxCommandEvent& event);
    void OnStopButton(wxCommandEvent& event);
    void OnMuteButton(wxCommandEvent& event);
    void OnVolumeSlider(wxCommandEvent& event);
    void OnFullScreenKey(wxKeyEvent& event);
    void OnTopLevelShow(wxShowEvent& event);
    void OnTopLevelIconize(wxIconizeEvent& event);

    std::unique_ptr<CPlayerEngine> m_pOwnEngine;
    CPlayerEngine* m_pEngine; // the one shown (nullptr: none)
    wxString m_strStatusText;
    CPlayerStatus::EState m_eLastState;
    int m_nVolume;
    bool m_bMuted;

    CVideoSurface* m_pSurface;
    CTransportBar* m_pBar;
    // The window that shows the picture on the whole screen, while it does.
    wxFrame* m_pFullScreen;
    wxWindow* m_pTopLevel; // the window whose hiding ends the full screen

    wxDECLARE_DYNAMIC_CLASS(CWMPPlayer4);
    wxDECLARE_NO_COPY_CLASS(CWMPPlayer4);
    wxDECLARE_EVENT_TABLE();
};
