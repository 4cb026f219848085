// Quit from the desktop's media controls ends the program as the tray menu's
// Exit does: this test ends the application, so it lives in a program of its own.

#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "support/BusClient.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>

#include <cstdlib>

TEST(MediaControlsQuit, QuitSavesThePlacementEndsTheProgramAndGivesTheNameBack)
{
    auto* frame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
    ASSERT_NE(frame, nullptr);
    CBusClient client(std::getenv("DBUS_SESSION_BUS_ADDRESS"), [] { PumpEvents(); });
    const char* pszName = "org.mpris.MediaPlayer2.wavecrest";
    ASSERT_TRUE(client.WaitUntil([&] { return !client.NameOwner(pszName).empty(); }));
    frame->SetSize(wxRect(30, 40, 730, 530));
    PumpEvents();

    EXPECT_TRUE(client.Call(kMprisRoot, "Quit"));
    EXPECT_TRUE(WaitUntil([] { return wxTheApp->GetTopWindow() == nullptr; }));
    EXPECT_EQ(GetWorkspaceInt("MainWindowWidth", 0), 730);
    EXPECT_EQ(GetWorkspaceInt("MainWindowHeight", 0), 530);
    EXPECT_EQ(client.NameOwner(pszName), "") << "the name goes with the main window";
}
