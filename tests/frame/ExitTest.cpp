// The tray menu's Exit ends the program for real: this test ends the
// application, so it lives in a program of its own.

#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>

TEST(Exit, TheTrayMenusExitSavesThePlacementAndClosesTheMainWindow)
{
    auto* frame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
    ASSERT_NE(frame, nullptr);
    frame->SetSize(wxRect(40, 50, 720, 540));
    PumpEvents();
    platform::SendCommand(frame, wc::ID_TRAY_EXIT);
    EXPECT_EQ(GetWorkspaceInt("MainWindowWidth", 0), 720);
    EXPECT_EQ(GetWorkspaceInt("MainWindowHeight", 0), 540);
    EXPECT_FALSE(frame->HasTrayIcon()) << "the icon is removed";
    PumpEvents();
    EXPECT_EQ(wxTheApp->GetTopWindow(), nullptr);
}
