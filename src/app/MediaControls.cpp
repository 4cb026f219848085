#include "app/MediaControls.h"

#include "core/Identifiers.h"
#include "frame/MainFrame.h"
#include "platform/Messages.h"

#include <wx/app.h>

CMediaControls::CMediaControls(CPlaybackSession& session)
    : m_session(session), m_pService(std::make_unique<platform::CMprisService>(
                              *this, "wavecrest", "Wavecrest", "wavecrest"))
{
    // The radio page opens later, from a posted message; until then nothing
    // plays, unless the session plays since the program's start.
    OnMediaStateChanged(CMediaSession::WithoutRadioPage(m_pService->GetVolume()));
    m_session.GetMediaSession().SetListener(this);
    m_session.Republish();
}

CMediaControls::~CMediaControls()
{
    m_session.GetMediaSession().SetListener(nullptr);
}

CMainFrame* CMediaControls::MainFrame()
{
    return wxTheApp ? dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow()) : nullptr;
}

void CMediaControls::OnRaise()
{
    if (CMainFrame* frame = MainFrame())
        frame->BringToFront();
}

void CMediaControls::OnQuit()
{
    if (CMainFrame* frame = MainFrame())
        platform::PostCommand(frame, wc::ID_TRAY_EXIT);
}

void CMediaControls::OnPlay()
{
    m_session.Play();
}

void CMediaControls::OnStop()
{
    m_session.Stop();
}

void CMediaControls::OnNext()
{
    m_session.PlayNext();
}

void CMediaControls::OnPrevious()
{
    m_session.PlayPrevious();
}

void CMediaControls::OnPause()
{
    m_session.Pause();
}

void CMediaControls::OnPlayPause()
{
    m_session.PlayPause();
}

void CMediaControls::OnSetVolume(double dVolume)
{
    m_session.SetVolume(dVolume);
}
void CMediaControls::OnMediaStateChanged(const MediaState& state)
{
    m_pService->SetCapabilities(CMediaSession::CapabilitiesFor(state.bRadioPageOpen));
    m_pService->SetPlaybackStatus(state.eStatus);
    m_pService->SetMetadata(state.metadata);
    m_pService->SetVolume(state.dVolume);
}
