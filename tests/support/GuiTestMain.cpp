// Runs GoogleTest inside a plain wx application on the X display, with a
// private temporary home for the whole run.

#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/debug.h>
#include <wx/init.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS(); // listing needs no display
    PrepareGuiTestProcess();
    CTempHome home;
    return RunWhileTheHomeLives(
        [argv]
        {
            wxApp::SetInstance(new wxApp());
            int wxArgc = 1;
            if (!wxEntryStart(wxArgc, argv))
                return 2;
            wxTheApp->CallOnInit();
            const int result = RUN_ALL_TESTS();
            wxEntryCleanup();
            return result;
        });
}
