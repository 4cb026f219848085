#include "RadioPageBench.h"

#include "app/WavecrestApp.h"
#include "core/Settings.h"
#include "radio/WavecrestView.h"
#include "support/GuiTestSupport.h"

#include <wx/docview.h>
#include <wx/init.h>

#include <cstdlib>
#include <string>

CRadioPageBench::CRadioPageBench(char** argv)
{
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("WAVECREST_STATION_LIST_URL", "http://127.0.0.1:9/world.zip", 1);
    const std::string modalLog = m_home.Path() + "/modal.log";
    setenv("WAVECREST_MODAL_LOG", modalLog.c_str(), 1);
    setenv("WAVECREST_PLAYER_OPTIONS", "ao=null", 1);
    wxApp::SetInstance(new CWavecrestApp());
    int argc = 1;
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return;
    m_bRunning = true;
    WriteSettingInt("AutoPlay", 0);
    m_pLoop = std::make_unique<wxGUIEventLoop>();
    m_pActive = std::make_unique<wxEventLoopActivator>(m_pLoop.get());
    PumpEvents();
    WaitUntil([] { return View() != nullptr; });
    PumpEvents();
}

CRadioPageBench::~CRadioPageBench()
{
    if (!m_bRunning)
        return;
    if (wxWindow* frame = wxTheApp->GetTopWindow())
        frame->Destroy();
    PumpEvents();
    wxTheApp->OnExit();
    wxEntryCleanup();
}

CWavecrestView* CRadioPageBench::View()
{
    return dynamic_cast<CWavecrestView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}
