#include "app/MediaControls.h"

#include "core/Identifiers.h"
#include "frame/MainFrame.h"
#include "platform/Messages.h"
#include "radio/WavecrestView.h"

#include <wx/app.h>
#include <wx/docview.h>

CMediaControls::CMediaControls(CMediaSession& session)
    : m_session(session), m_pService(std::make_unique<platform::CMprisService>(
                              *this, "wavecrest", "Wavecrest", "wavecrest"))
{
    // The radio page opens later, from a posted message; until then nothing plays.
    OnMediaStateChanged(CMediaSession::WithoutRadioPage(m_pService->GetVolume()));
    m_session.SetListener(this);
}

CMediaControls::~CMediaControls()
{
    m_session.SetListener(nullptr);
}

CMainFrame* CMediaControls::MainFrame()
{
    return wxTheApp ? dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow()) : nullptr;
}

CWavecrestView* CMediaControls::RadioView()
{
    // Only one page is open at a time: the current view is the radio page or another.
    wxDocManager* manager = wxDocManager::GetDocumentManager();
    return manager ? dynamic_cast<CWavecrestView*>(manager->GetCurrentView()) : nullptr;
}

void CMediaControls::PostToMainFrame(int nCommand)
{
    // The main frame hands the command to the page that is open, as it does
    // the ribbon's: pages other than the radio page ignore it.
    if (CMainFrame* frame = MainFrame())
        platform::PostCommand(frame, nCommand);
}

void CMediaControls::OnRaise()
{
    if (CMainFrame* frame = MainFrame())
        frame->BringToFront();
}

void CMediaControls::OnQuit()
{
    PostToMainFrame(wc::ID_TRAY_EXIT);
}

void CMediaControls::OnPlay()
{
    PostToMainFrame(wc::ID_PLAY);
}

void CMediaControls::OnStop()
{
    PostToMainFrame(wc::ID_STOP);
}

void CMediaControls::OnNext()
{
    PostToMainFrame(wc::ID_PLAY_NEXT);
}

void CMediaControls::OnPrevious()
{
    PostToMainFrame(wc::ID_PLAY_PREVIOUS);
}

void CMediaControls::OnPause()
{
    if (CWavecrestView* view = RadioView())
        view->MediaPause();
}

void CMediaControls::OnPlayPause()
{
    if (CWavecrestView* view = RadioView())
        view->MediaPlayPause();
}

void CMediaControls::OnSetVolume(double dVolume)
{
    if (CWavecrestView* view = RadioView())
        view->MediaSetVolume(dVolume);
}

void CMediaControls::OnMediaStateChanged(const MediaState& state)
{
    m_pService->SetCapabilities(CMediaSession::CapabilitiesFor(state.bRadioPageOpen));
    m_pService->SetPlaybackStatus(state.eStatus);
    m_pService->SetMetadata(state.metadata);
    m_pService->SetVolume(state.dVolume);
}
