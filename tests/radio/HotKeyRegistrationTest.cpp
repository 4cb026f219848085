// The stored hot keys registered on a window of the program, pressed on the
// real X server with xdotool.

#include "core/Identifiers.h"
#include "core/Settings.h"
#include "platform/HotKeys.h"
#include "radio/HotKeys.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"
#include "support/XKeyGrabber.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <vector>

namespace
{
constexpr int kWaitMilliseconds = 10000;
const std::vector<std::string> kXCtrlAlt = {"control", "mod1"};

// Stands in for the radio view: turns hot keys into playback commands and
// notes the commands and hot-key messages it handles.
class CRadioWindow : public wxFrame
{
public:
    CRadioWindow() : wxFrame(nullptr, wxID_ANY, "radio") {}

    std::vector<int> m_commands;
    std::vector<std::intptr_t> m_hotKeyLParams;

private:
    void OnHotKey(platform::CAppMessageEvent& event)
    {
        m_hotKeyLParams.push_back(event.GetLParam());
        PostHotKeyCommand(this, static_cast<int>(event.GetWParam()));
    }
    void OnCommand(wxCommandEvent& event) { m_commands.push_back(event.GetId()); }

    wxDECLARE_EVENT_TABLE();
};

void Store(const char* name, int value)
{
    ASSERT_TRUE(WriteSettingIntChecked(name, value));
}

class RadioHotKeys : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_pWindow->Destroy();
        PumpEvents();
    }

    bool WaitForCommands(size_t count)
    {
        return WaitUntil([&] { return m_pWindow->m_commands.size() >= count; }, kWaitMilliseconds);
    }

    bool IsRegistered(int id) const { return platform::IsHotKeyRegistered(m_pWindow, id); }

    CTempHome m_home;
    CRadioWindow* m_pWindow = new CRadioWindow();
};

// The event table closes the namespace so that the formatter keeps its layout.
// clang-format off
wxBEGIN_EVENT_TABLE(CRadioWindow, wxFrame)
    EVT_APP_MESSAGE(platform::WM_HOTKEY, CRadioWindow::OnHotKey)
    EVT_MENU(wc::ID_PLAY, CRadioWindow::OnCommand)
    EVT_MENU(wc::ID_PLAY_NEXT, CRadioWindow::OnCommand)
    EVT_MENU(wc::ID_PLAY_PREVIOUS, CRadioWindow::OnCommand)
    EVT_MENU(wc::ID_STOP, CRadioWindow::OnCommand)
wxEND_EVENT_TABLE()
} // namespace
// clang-format on

TEST_F(RadioHotKeys, PlayWithAStoredCtrlAltPWhileTheWindowIsHidden)
{
    Store("Play Key", 0x50);
    Store("Play Mod", 3);
    CMessageRecorder recorder;

    RegisterAllHotKeys(m_pWindow);
    ASSERT_TRUE(IsRegistered(1));
    ASSERT_FALSE(m_pWindow->IsShown());
    ASSERT_TRUE(PressKeys("ctrl+alt+p"));

    ASSERT_TRUE(WaitForCommands(1));
    EXPECT_EQ(m_pWindow->m_commands, std::vector<int>{319});
    EXPECT_EQ(m_pWindow->m_hotKeyLParams[0], platform::MakeHotKeyLParam(3, 0x50));
    ASSERT_EQ(recorder.Count(319), 1);
    for (const auto& record : recorder.Records())
    {
        if (record.number == 319)
        {
            EXPECT_EQ(record.kind, platform::MessageRecord::Kind::PostedCommand);
            EXPECT_EQ(record.target, m_pWindow);
        }
    }
}

TEST_F(RadioHotKeys, RegisterCtrlHomeStoredWithTheExtendedFlagAsCtrlHome)
{
    Store("Stop Key", 0x24);
    Store("Stop Mod", 10);

    RegisterAllHotKeys(m_pWindow);
    ASSERT_TRUE(IsRegistered(4));
    ASSERT_TRUE(PressKeys("ctrl+Home"));

    ASSERT_TRUE(WaitForCommands(1));
    EXPECT_EQ(m_pWindow->m_commands, std::vector<int>{317});
    EXPECT_EQ(m_pWindow->m_hotKeyLParams[0], platform::MakeHotKeyLParam(2, 0x24));
}

TEST_F(RadioHotKeys, TurnEachActionsKeyIntoItsCommand)
{
    Store("Play Key", 'P');
    Store("Play Mod", 3);
    Store("Play Next Key", 'N');
    Store("Play Next Mod", 3);
    Store("Play Prev Key", 'B');
    Store("Play Prev Mod", 3);
    Store("Stop Key", 'S');
    Store("Stop Mod", 3);

    RegisterAllHotKeys(m_pWindow);
    for (const char* keys : {"ctrl+alt+s", "ctrl+alt+n", "ctrl+alt+b", "ctrl+alt+p"})
        ASSERT_TRUE(PressKeys(keys));

    ASSERT_TRUE(WaitForCommands(4));
    EXPECT_EQ(m_pWindow->m_commands, (std::vector<int>{317, 320, 321, 319}));
}

TEST_F(RadioHotKeys, RegisterNothingWhenNothingIsStored)
{
    RegisterAllHotKeys(m_pWindow);

    for (int id = 1; id <= 4; ++id)
        EXPECT_FALSE(IsRegistered(id)) << id;
}

TEST_F(RadioHotKeys, GiveACombinationStoredTwiceOnlyToTheFirstAction)
{
    Store("Play Key", 'P');
    Store("Play Mod", 3);
    Store("Stop Key", 'P');
    Store("Stop Mod", 3);

    RegisterAllHotKeys(m_pWindow);
    EXPECT_TRUE(IsRegistered(1));
    EXPECT_FALSE(IsRegistered(4));

    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    ASSERT_TRUE(WaitForCommands(1));
    PumpEvents();
    EXPECT_EQ(m_pWindow->m_commands, std::vector<int>{319});
}

TEST_F(RadioHotKeys, LeaveOutSilentlyACombinationAnotherProgramHolds)
{
    Store("Play Key", 'P');
    Store("Play Mod", 3);
    Store("Play Next Key", 'N');
    Store("Play Next Mod", 3);
    CXKeyGrabber otherProgram(CXKeyGrabber::GrabArguments("p", kXCtrlAlt));
    ASSERT_TRUE(otherProgram.Grabbed()) << otherProgram.Answer();
    CModalRecorder modals;

    RegisterAllHotKeys(m_pWindow);

    EXPECT_FALSE(IsRegistered(1));
    EXPECT_TRUE(IsRegistered(2));
    EXPECT_TRUE(modals.Requests().empty());
}

TEST_F(RadioHotKeys, TakeTheNewlyStoredCombinationWhenRegisteredAgain)
{
    Store("Play Key", 'P');
    Store("Play Mod", 3);
    RegisterAllHotKeys(m_pWindow);
    Store("Play Key", 'O');

    RegisterAllHotKeys(m_pWindow);

    EXPECT_TRUE(AnotherClientCanGrab("p", kXCtrlAlt));
    EXPECT_FALSE(AnotherClientCanGrab("o", kXCtrlAlt));
    ASSERT_TRUE(PressKeys("ctrl+alt+o"));
    ASSERT_TRUE(WaitForCommands(1));
    EXPECT_EQ(m_pWindow->m_hotKeyLParams[0], platform::MakeHotKeyLParam(3, 'O'));
}

TEST_F(RadioHotKeys, DropTheRegistrationOfAnActionWhoseKeyWasCleared)
{
    Store("Play Key", 'P');
    Store("Play Mod", 3);
    RegisterAllHotKeys(m_pWindow);
    Store("Play Key", 0);

    RegisterStoredHotKey("Play", 1, m_pWindow);

    EXPECT_FALSE(IsRegistered(1));
    EXPECT_TRUE(AnotherClientCanGrab("p", kXCtrlAlt));
}

TEST_F(RadioHotKeys, ReleaseAllFourWhenTheViewLetsThemGo)
{
    Store("Play Key", 'P');
    Store("Play Mod", 3);
    Store("Stop Key", 0x24);
    Store("Stop Mod", 10);
    RegisterAllHotKeys(m_pWindow);
    ASSERT_FALSE(AnotherClientCanGrab("Home", {"control"}));

    UnregisterAllHotKeys(m_pWindow);

    for (int id = 1; id <= 4; ++id)
        EXPECT_FALSE(IsRegistered(id)) << id;
    EXPECT_TRUE(AnotherClientCanGrab("p", kXCtrlAlt));
    EXPECT_TRUE(AnotherClientCanGrab("Home", {"control"}));
}

TEST_F(RadioHotKeys, PostNothingForAnIdThatIsNoActions)
{
    CMessageRecorder recorder;

    EXPECT_FALSE(PostHotKeyCommand(m_pWindow, 5));
    EXPECT_TRUE(PostHotKeyCommand(m_pWindow, 3));

    ASSERT_EQ(recorder.Records().size(), 1u);
    EXPECT_EQ(recorder.Records()[0].number, 321);
    PumpEvents();
}
