#include "frame/WindowPlacement.h"
#include "core/Settings.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, IsStoredInTheWorkspaceAndReadBack)
{
    CTempHome home;
    EXPECT_EQ(LoadWindowPlacement(), std::nullopt);
    StoreWindowPlacement(wxRect(-20, 30, 640, 480));
    EXPECT_EQ(LoadWindowPlacement(), wxRect(-20, 30, 640, 480));
    EXPECT_NE(ReadWholeFile(home.SettingsFile()).find("[Workspace]"), std::string::npos);
}

TEST(WindowPlacement, AnIncompleteOrEmptyPlacementIsIgnored)
{
    CTempHome home;
    WriteWorkspaceInt("MainWindowLeft", 10);
    WriteWorkspaceInt("MainWindowTop", 10);
    WriteWorkspaceInt("MainWindowWidth", 500);
    EXPECT_EQ(LoadWindowPlacement(), std::nullopt);
    WriteWorkspaceInt("MainWindowHeight", 0);
    EXPECT_EQ(LoadWindowPlacement(), std::nullopt);
}

TEST(WindowPlacement, AStoredRectangleIsBroughtOntoTheScreen)
{
    const wxRect screen(0, 0, 1280, 1024);
    EXPECT_EQ(FitRectToArea(wxRect(100, 100, 800, 600), screen), wxRect(100, 100, 800, 600));
    EXPECT_EQ(FitRectToArea(wxRect(3000, 2000, 800, 600), screen), wxRect(480, 424, 800, 600));
    EXPECT_EQ(FitRectToArea(wxRect(-500, -50, 800, 600), screen), wxRect(0, 0, 800, 600));
    EXPECT_EQ(FitRectToArea(wxRect(10, 10, 4000, 3000), screen), wxRect(0, 0, 1280, 1024));
    EXPECT_EQ(FitRectToArea(wxRect(10, 10, 800, 600), wxRect()), wxRect(10, 10, 800, 600));
}
