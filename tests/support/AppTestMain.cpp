// Runs GoogleTest inside the program's own application object, started as a
// person would start it (no arguments), with a private temporary home. The
// program meets no session bus, or (built with
// WAVECREST_TEST_PRIVATE_SESSION_BUS) one of the test program's own.

#include "app/WavecrestApp.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"
#ifdef WAVECREST_TEST_PRIVATE_SESSION_BUS
#include "support/PrivateSessionBus.h"
#endif

#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/init.h>
#include <wx/window.h>

#include <cstdlib>
#include <memory>
#include <string>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS(); // listing needs no display
    PrepareGuiTestProcess();
    CTempHome home;
    // Nothing outside this machine is asked for a station list, and a message
    // box shown before a test installs its recorder is logged, not shown.
    setenv("WAVECREST_STATION_LIST_URL", "http://127.0.0.1:9/world.zip", 0);
    const std::string modalLog = home.Path() + "/modal.log";
    setenv("WAVECREST_MODAL_LOG", modalLog.c_str(), 0);
    // The person's own session bus (and the media players on it) is none of
    // the test's business.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    return RunWhileTheHomeLives(
        [argv]
        {
#ifdef WAVECREST_TEST_PRIVATE_SESSION_BUS
            auto pBus = std::make_unique<CPrivateSessionBus>();
            if (!pBus->IsRunning())
                return 4;
#endif
            wxApp::SetInstance(new CWavecrestApp());
            int wxArgc = 1;
            if (!wxEntryStart(wxArgc, argv))
                return 2;
            if (!wxTheApp->CallOnInit())
                return 3;
            PumpEvents(); // the start page opens from posted messages
            const int result = RUN_ALL_TESTS();
            if (wxWindow* frame = wxTheApp->GetTopWindow(); frame && !frame->IsBeingDeleted())
                frame->Destroy();
            PumpEvents();
            wxTheApp->OnExit();
            wxEntryCleanup();
#ifdef WAVECREST_TEST_PRIVATE_SESSION_BUS
            pBus.reset();
#endif
            return result;
        });
}
