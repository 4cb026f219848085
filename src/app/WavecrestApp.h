#pragma once
// The application object: start-up, the single-instance rule, the page
// templates and the application's own commands.

#include "app/CommandLine.h"
#include "app/PlaylistOpener.h"
#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "session/PlaybackSession.h"

#include <wx/app.h>

#include <cstdint>
#include <memory>
#include <string>

namespace platform
{
class CSingleInstance;
}
class CMainFrame;
class CMediaControls;
class wxDocManager;

class CWavecrestApp : public wxApp
{
public:
    CWavecrestApp();
    ~CWavecrestApp() override;

    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;

    CachedSettings m_cachedSettings;
    std::uint32_t m_nAppLook = wc::ID_VIEW_APPLOOK_OFF_2007_BLACK;

private:
    bool InitInstance();
    // Finds a running instance and applies the command line; true when the
    // running instance took over and this process must end.
    bool HandOverToRunningInstance();
    // The playback session, and with auto-play on the channel played last
    // on air before any window is made.
    void StartPlaybackSession();
    bool RegisterDocumentTemplates();
    bool CreateMainFrame();
    // Offers the program to desktop media controls for as long as the main window lives.
    void StartMediaControls(CMainFrame* frame);
    void OnMessageFromLaterStart(const std::string& message);

    void OnAppAbout(wxCommandEvent& event);
    void OnFileNew(wxCommandEvent& event);
    void OnFileOpen(wxCommandEvent& event);

    // The program's playback; it outlives the pages.
    std::unique_ptr<CPlaybackSession> m_pSession;
    std::unique_ptr<platform::CSingleInstance> m_pSingleInstance;
    std::unique_ptr<CPlaylistOpener> m_pPlaylistOpener;
    std::unique_ptr<wxDocManager> m_pDocManager;
    std::unique_ptr<CMediaControls> m_pMediaControls;
    StartRequest m_startRequest;
    bool m_bHandedOver = false;

    wxDECLARE_EVENT_TABLE();
};

wxDECLARE_APP(CWavecrestApp);
