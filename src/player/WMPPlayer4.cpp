#include "player/WMPPlayer4.h"

#include "player/PlayerEngine.h"
#include "player/TransportBar.h"
#include "player/VideoSurface.h"

#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/tglbtn.h>

#include <cstdlib>
#include <cstring>

wxDEFINE_EVENT(wcEVT_PLAYER_STATUS_CHANGE, wxCommandEvent);
wxDEFINE_EVENT(wcEVT_PLAYER_PLAY_STATE_CHANGE, wxCommandEvent);
wxDEFINE_EVENT(wcEVT_PLAYER_VOLUME_CHANGE, wxCommandEvent);

namespace
{

// WAVECREST_VIDEO=software draws the picture without OpenGL.
bool SoftwareVideoAskedFor()
{
    const char* pszVideo = std::getenv("WAVECREST_VIDEO");
    return pszVideo && std::strcmp(pszVideo, "software") == 0;
}

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CWMPPlayer4, wxPanel);

CWMPPlayer4::CWMPPlayer4()
    : m_pEngine(nullptr), m_eLastState(CPlayerStatus::EState::Ready), m_nVolume(50),
      m_bMuted(false), m_pSurface(nullptr), m_pBar(nullptr), m_pFullScreen(nullptr),
      m_pTopLevel(nullptr)
{
}

CWMPPlayer4::CWMPPlayer4(wxWindow* pParent, wxWindowID nId, const wxPoint& pos, const wxSize& size)
    : CWMPPlayer4()
{
    Create(pParent, nId, pos, size);
}

CWMPPlayer4::CWMPPlayer4(wxWindow* pParent, wxWindowID nId, CPlayerEngine& engine) : CWMPPlayer4()
{
    if (!wxPanel::Create(pParent, nId, wxDefaultPosition, wxDefaultSize,
                         wxTAB_TRAVERSAL | wxNO_BORDER, "WMPPlayer4"))
        return;
    m_pEngine = &engine;
    m_nVolume = engine.GetVolume();
    m_bMuted = engine.IsMuted();
    CreateWindow(pParent);
    // The engine may play already: the bar and the picture show what it does.
    m_pBar->ShowRunning(engine.GetStatus().IsActive() &&
                        m_eLastState != CPlayerStatus::EState::Paused);
    m_pBar->ShowMute(m_bMuted);
    if (engine.HasVideoTrack())
    {
        m_pSurface->Start();
        m_pSurface->SetHasPicture(true);
    }
}

CWMPPlayer4::~CWMPPlayer4()
{
    if (m_pTopLevel)
    {
        m_pTopLevel->Unbind(wxEVT_SHOW, &CWMPPlayer4::OnTopLevelShow, this);
        m_pTopLevel->Unbind(wxEVT_ICONIZE, &CWMPPlayer4::OnTopLevelIconize, this);
    }
    ReleaseEngine();
}

void CWMPPlayer4::ReleaseEngine()
{
    if (!m_pEngine)
        return;
    if (m_pOwnEngine)
        m_pEngine->SetChangeHandler(nullptr);
    // The picture area frees its render context while the engine still runs.
    if (m_pFullScreen)
    {
        m_pSurface->EndShowingElsewhere();
        m_pFullScreen->Destroy();
        m_pFullScreen = nullptr;
    }
    if (m_pSurface)
        m_pSurface->Destroy();
    m_pSurface = nullptr;
    m_pEngine = nullptr;
    // Ends playback and the engine's threads, when the engine is the control's own.
    m_pOwnEngine.reset();
}

bool CWMPPlayer4::Create(wxWindow* pParent, wxWindowID nId, const wxPoint& pos, const wxSize& size)
{
    if (!wxPanel::Create(pParent, nId, pos, size, wxTAB_TRAVERSAL | wxNO_BORDER, "WMPPlayer4"))
        return false;
    m_pOwnEngine = std::make_unique<CPlayerEngine>();
    m_pEngine = m_pOwnEngine.get();
    const bool bStarted = m_pEngine->Start();
    CreateWindow(pParent);
    m_pEngine->SetChangeHandler([this] { OnEngineChange(); });
    return bStarted;
}

void CWMPPlayer4::CreateWindow(wxWindow* pParent)
{
    CreateControls();
    // The first text is no change: the owner reads it when it wants it.
    m_strStatusText = m_pEngine->GetStatus().GetText();
    m_eLastState = m_pEngine->GetStatus().GetState();
    m_pBar->ShowStatusText(m_strStatusText);
    // Hiding the window (to the tray) or minimising it ends the full screen.
    m_pTopLevel = wxGetTopLevelParent(pParent);
    if (m_pTopLevel)
    {
        m_pTopLevel->Bind(wxEVT_SHOW, &CWMPPlayer4::OnTopLevelShow, this);
        m_pTopLevel->Bind(wxEVT_ICONIZE, &CWMPPlayer4::OnTopLevelIconize, this);
    }
}

void CWMPPlayer4::CreateControls()
{
    m_pSurface = new CVideoSurface(this, wxID_ANY, *m_pEngine, SoftwareVideoAskedFor());
    m_pSurface->SetDoubleClickHandler([this]
                                      { CallAfter([this] { SetFullScreen(!IsFullScreen()); }); });
    m_pBar = new CTransportBar(this, m_nVolume);
    auto* pMain = new wxBoxSizer(wxVERTICAL);
    pMain->Add(m_pSurface, 1, wxEXPAND);
    pMain->Add(m_pBar, 0, wxEXPAND);
    SetSizer(pMain);
    // The place the player was made in may have given it its size already.
    LayoutControls();
}

void CWMPPlayer4::DoSetSize(int x, int y, int width, int height, int sizeFlags)
{
    const wxSize before = GetSize();
    wxPanel::DoSetSize(x, y, width, height, sizeFlags);
    if (GetSize() != before)
        LayoutControls();
}

void CWMPPlayer4::LayoutControls()
{
    if (!m_pBar)
        return; // still being made
    Layout();
    m_pBar->Layout();
}

wxString CWMPPlayer4::GetURL() const
{
    return m_pEngine ? m_pEngine->GetUrl() : wxString();
}

wxString CWMPPlayer4::GetStreamTitle() const
{
    return m_pEngine ? m_pEngine->GetStatus().GetStreamTitle() : wxString();
}

bool CWMPPlayer4::IsEngineReady() const
{
    return m_pEngine && m_pEngine->IsReady();
}

bool CWMPPlayer4::IsShowingVideo() const
{
    return m_pEngine && m_pEngine->IsShowingVideo();
}

wxWindow* CWMPPlayer4::GetPictureWindow() const
{
    return m_pSurface ? m_pSurface->GetPictureWindow() : nullptr;
}

bool CWMPPlayer4::IsSoftwareVideo() const
{
    return m_pSurface && m_pSurface->IsSoftware();
}

void CWMPPlayer4::SetURL(const wxString& strUrl, const wxString& strChannelName)
{
    // Another channel brings the window back first.
    SetFullScreen(false);
    if (m_pEngine)
        m_pEngine->Open(strUrl, strChannelName);
}

void CWMPPlayer4::Stop()
{
    if (m_pEngine)
        m_pEngine->Stop();
}

void CWMPPlayer4::Play()
{
    if (m_pEngine)
        m_pEngine->Play();
}

void CWMPPlayer4::Pause()
{
    if (m_pEngine)
        m_pEngine->Pause();
}

void CWMPPlayer4::SetVolume(int nVolume)
{
    if (m_pEngine)
        m_pEngine->SetVolume(nVolume);
}

void CWMPPlayer4::SetMute(bool bMute)
{
    if (m_pEngine)
        m_pEngine->SetMute(bMute);
}

void CWMPPlayer4::OnEngineChange()
{
    if (!m_pEngine || !m_pSurface)
        return;
    const CPlayerStatus& status = m_pEngine->GetStatus();
    const CPlayerStatus::EState eState = status.GetState();
    const bool bRunning = eState == CPlayerStatus::EState::Playing ||
                          eState == CPlayerStatus::EState::Buffering ||
                          eState == CPlayerStatus::EState::Connecting;
    m_pBar->ShowRunning(bRunning);
    // The picture area gets ready when the first stream with a picture comes.
    if (m_pEngine->HasVideoTrack() && !m_pSurface->IsStarted())
        m_pSurface->Start();
    m_pSurface->SetHasPicture(m_pEngine->HasVideoTrack());
    m_bMuted = m_pEngine->IsMuted();
    m_pBar->ShowMute(m_bMuted);
    if (m_pEngine->GetVolume() != m_nVolume)
    {
        m_nVolume = m_pEngine->GetVolume();
        m_pBar->ShowVolume(m_nVolume);
        NotifyVolumeChange();
    }
    const wxString strText = status.GetText();
    if (strText != m_strStatusText)
    {
        m_strStatusText = strText;
        m_pBar->ShowStatusText(strText);
        wxCommandEvent change(wcEVT_PLAYER_STATUS_CHANGE, GetId());
        change.SetEventObject(this);
        change.SetString(strText);
        ProcessWindowEvent(change);
    }
    if (eState != m_eLastState)
    {
        m_eLastState = eState;
        wxCommandEvent change(wcEVT_PLAYER_PLAY_STATE_CHANGE, GetId());
        change.SetEventObject(this);
        change.SetInt(static_cast<int>(eState));
        ProcessWindowEvent(change);
    }
}

void CWMPPlayer4::NotifyVolumeChange()
{
    wxCommandEvent change(wcEVT_PLAYER_VOLUME_CHANGE, GetId());
    change.SetEventObject(this);
    change.SetInt(m_nVolume);
    ProcessWindowEvent(change);
}

void CWMPPlayer4::SetFullScreen(bool bFullScreen)
{
    if (bFullScreen == IsFullScreen() || !m_pEngine)
        return;
    if (bFullScreen)
    {
        // The picture alone, in a window of its own over the whole screen;
        // the page's window stays as it is underneath.
        m_pFullScreen = new wxFrame(m_pTopLevel, wxID_ANY, "Wavecrest picture", wxDefaultPosition,
                                    wxDefaultSize, wxDEFAULT_FRAME_STYLE | wxWANTS_CHARS);
        m_pFullScreen->SetBackgroundColour(*wxBLACK);
        // The same picture, drawn there with the same contexts: the engine
        // goes on without a break.
        wxWindow* pPicture = m_pSurface->ShowElsewhere(m_pFullScreen);
        auto* pSizer = new wxBoxSizer(wxVERTICAL);
        pSizer->Add(pPicture, 1, wxEXPAND);
        m_pFullScreen->SetSizer(pSizer);
        m_pFullScreen->Bind(wxEVT_CHAR_HOOK, &CWMPPlayer4::OnFullScreenKey, this);
        m_pFullScreen->Bind(wxEVT_CLOSE_WINDOW,
                            [this](wxCloseEvent&) { CallAfter([this] { SetFullScreen(false); }); });
        m_pFullScreen->ShowFullScreen(true, wxFULLSCREEN_ALL);
        m_pFullScreen->Raise();
        pPicture->SetFocus();
        return;
    }
    m_pSurface->EndShowingElsewhere();
    m_pFullScreen->Unbind(wxEVT_CHAR_HOOK, &CWMPPlayer4::OnFullScreenKey, this);
    m_pFullScreen->Hide();
    m_pFullScreen->Destroy();
    m_pFullScreen = nullptr;
    if (m_pTopLevel && m_pTopLevel->IsShown())
        m_pTopLevel->Raise();
}

void CWMPPlayer4::OnFullScreenKey(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_ESCAPE || event.GetKeyCode() == WXK_F11)
        CallAfter([this] { SetFullScreen(false); });
    else
        event.Skip();
}

void CWMPPlayer4::OnTopLevelShow(wxShowEvent& event)
{
    event.Skip();
    if (!event.IsShown())
        SetFullScreen(false);
}

void CWMPPlayer4::OnTopLevelIconize(wxIconizeEvent& event)
{
    event.Skip();
    if (event.IsIconized())
        SetFullScreen(false);
}

void CWMPPlayer4::OnPlayPause(wxCommandEvent& /*event*/)
{
    if (!m_pEngine)
        return;
    const CPlayerStatus& status = m_pEngine->GetStatus();
    if (status.IsActive() && status.GetState() != CPlayerStatus::EState::Paused)
        Pause();
    else
        Play();
}

void CWMPPlayer4::OnStopButton(wxCommandEvent& /*event*/)
{
    Stop();
}

void CWMPPlayer4::OnMuteButton(wxCommandEvent& event)
{
    SetMute(event.IsChecked());
}

void CWMPPlayer4::OnVolumeSlider(wxCommandEvent& event)
{
    SetVolume(event.GetInt());
}

// The event table comes last so that formatting can stay off for it.
// clang-format off
wxBEGIN_EVENT_TABLE(CWMPPlayer4, wxPanel)
    EVT_BUTTON(CTransportBar::ID_PLAY_PAUSE, CWMPPlayer4::OnPlayPause)
    EVT_BUTTON(CTransportBar::ID_STOP, CWMPPlayer4::OnStopButton)
    EVT_TOGGLEBUTTON(CTransportBar::ID_MUTE, CWMPPlayer4::OnMuteButton)
    EVT_SLIDER(CTransportBar::ID_VOLUME, CWMPPlayer4::OnVolumeSlider)
wxEND_EVENT_TABLE()
