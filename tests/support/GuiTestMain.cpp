// Runs GoogleTest inside a plain wx application on the X display, with a
// private temporary home for the whole run.

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
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    CTempHome home;
    wxApp::SetInstance(new wxApp());
    // A failed wx check fails the test instead of waiting in a dialog.
    wxSetAssertHandler(
        [](const wxString& file, int line, const wxString& func, const wxString& cond,
           const wxString& msg)
        {
            ADD_FAILURE_AT(file.utf8_str(), line)
                << "wx check failed in " << func << ": " << cond << " " << msg;
        });
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv))
        return 2;
    wxTheApp->CallOnInit();
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
