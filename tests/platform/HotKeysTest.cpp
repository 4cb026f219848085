// System-wide hot keys on the real X server: keys are pressed with xdotool,
// and other programs are played by x_key_grabber.

#include "platform/HotKeys.h"
#include "support/GuiTestSupport.h"
#include "support/XKeyGrabber.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// Xlib's macros (None, Bool, Status) must come after GoogleTest and wxWidgets.
#include <X11/XKBlib.h>
#include <gdk/gdkx.h>

using namespace platform;

namespace
{
constexpr unsigned kCtrlAlt = MOD_CONTROL | MOD_ALT;
constexpr int kWaitMilliseconds = 10000;
const std::vector<std::string> kXCtrlAlt = {"control", "mod1"};

struct HotKeyMessage
{
    std::intptr_t id;
    std::intptr_t lParam;
};

// A window of the program that notes the hot-key messages it gets.
class CHotKeyWindow : public wxFrame
{
public:
    CHotKeyWindow() : wxFrame(nullptr, wxID_ANY, "hot keys") {}

    std::vector<HotKeyMessage> m_messages;

private:
    void OnHotKey(CAppMessageEvent& event)
    {
        m_messages.push_back({event.GetWParam(), event.GetLParam()});
    }

    wxDECLARE_EVENT_TABLE();
};

Display* XDisplay()
{
    return GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

unsigned LockedModifiers()
{
    XkbStateRec state;
    XkbGetState(XDisplay(), XkbUseCoreKbd, &state);
    return state.locked_mods;
}

class SystemHotKeys : public ::testing::Test
{
protected:
    void TearDown() override
    {
        DestroyWindow(m_pWindow);
        // Leave the keyboard as the next test expects it.
        if (LockedModifiers() & Mod2Mask)
            PressKeys("Num_Lock");
        if (LockedModifiers() & LockMask)
            PressKeys("Caps_Lock");
    }

    static void DestroyWindow(wxWindow* window)
    {
        window->Destroy();
        PumpEvents();
    }

    bool WaitForMessages(CHotKeyWindow* window, size_t count)
    {
        return WaitUntil([&] { return window->m_messages.size() >= count; }, kWaitMilliseconds);
    }

    CHotKeyWindow* m_pWindow = new CHotKeyWindow();
};

// The event table closes the namespace so that the formatter keeps its layout.
// clang-format off
wxBEGIN_EVENT_TABLE(CHotKeyWindow, wxFrame)
    EVT_APP_MESSAGE(WM_HOTKEY, CHotKeyWindow::OnHotKey)
wxEND_EVENT_TABLE()
} // namespace
// clang-format on

TEST_F(SystemHotKeys, BringAPressedCombinationToItsHiddenWindow)
{
    CMessageRecorder recorder;
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));
    ASSERT_FALSE(m_pWindow->IsShown());

    ASSERT_TRUE(PressKeys("ctrl+alt+p"));

    ASSERT_TRUE(WaitForMessages(m_pWindow, 1));
    EXPECT_EQ(m_pWindow->m_messages[0].id, 1);
    EXPECT_EQ(m_pWindow->m_messages[0].lParam, 0x00500003); // Ctrl + Alt, then 'P'
    ASSERT_EQ(recorder.Count(WM_HOTKEY), 1);
    EXPECT_EQ(recorder.Records()[0].kind, MessageRecord::Kind::PostedMessage);
}

TEST_F(SystemHotKeys, BringAPressedCombinationToItsWindowWhileAnotherProgramHasTheFocus)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 7, kCtrlAlt, 'P'));
    CXKeyGrabber otherProgram({"focus"});
    ASSERT_EQ(otherProgram.Answer().rfind("focused ", 0), 0u) << otherProgram.Answer();
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(XDisplay(), &focus, &revert);
    ASSERT_EQ(focus, std::stoul(otherProgram.Answer().substr(8), nullptr, 16));

    ASSERT_TRUE(PressKeys("ctrl+alt+p"));

    ASSERT_TRUE(WaitForMessages(m_pWindow, 1));
    EXPECT_EQ(m_pWindow->m_messages[0].id, 7);
}

TEST_F(SystemHotKeys, BringAPressedCombinationToItsWindowWhileTheProgramHasTheFocus)
{
    auto* focused = new wxFrame(nullptr, wxID_ANY, "focused");
    focused->Show();
    focused->Raise();
    ASSERT_TRUE(WaitUntil([&] { return focused->IsActive(); }, kWaitMilliseconds));
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 2, kCtrlAlt, 'P'));

    ASSERT_TRUE(PressKeys("ctrl+alt+p"));

    EXPECT_TRUE(WaitForMessages(m_pWindow, 1));
    DestroyWindow(focused);
}

TEST_F(SystemHotKeys, BringTheMediaKeysToTheirWindow)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 3, 0, VK_MEDIA_PLAY_PAUSE));
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 4, MOD_SHIFT, VK_MEDIA_NEXT_TRACK));

    ASSERT_TRUE(PressKeys("XF86AudioPlay"));
    ASSERT_TRUE(PressKeys("shift+XF86AudioNext"));

    ASSERT_TRUE(WaitForMessages(m_pWindow, 2));
    EXPECT_EQ(m_pWindow->m_messages[0].lParam, MakeHotKeyLParam(0, VK_MEDIA_PLAY_PAUSE));
    EXPECT_EQ(m_pWindow->m_messages[1].id, 4);
    EXPECT_EQ(m_pWindow->m_messages[1].lParam, MakeHotKeyLParam(MOD_SHIFT, VK_MEDIA_NEXT_TRACK));
}

TEST_F(SystemHotKeys, TakeBothEnterKeysForEnter)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, MOD_CONTROL, VK_RETURN));

    ASSERT_TRUE(PressKeys("ctrl+Return"));
    ASSERT_TRUE(PressKeys("ctrl+KP_Enter"));

    ASSERT_TRUE(WaitForMessages(m_pWindow, 2));
    EXPECT_EQ(m_pWindow->m_messages[1].lParam, MakeHotKeyLParam(MOD_CONTROL, VK_RETURN));
}

TEST_F(SystemHotKeys, IgnoreACombinationPressedWithFurtherModifiers)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));

    ASSERT_TRUE(PressKeys("ctrl+alt+shift+p"));
    ASSERT_TRUE(PressKeys("ctrl+p"));
    ASSERT_TRUE(PressKeys("ctrl+alt+p"));

    // Key events arrive in order: had the first two counted, they would be here by now.
    ASSERT_TRUE(WaitForMessages(m_pWindow, 1));
    PumpEvents();
    EXPECT_EQ(m_pWindow->m_messages.size(), 1u);
}

TEST_F(SystemHotKeys, DoNotCareAboutNumLockOrCapsLock)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));

    ASSERT_TRUE(PressKeys("Num_Lock"));
    ASSERT_TRUE(WaitUntil([] { return (LockedModifiers() & Mod2Mask) != 0; }, kWaitMilliseconds));
    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    ASSERT_TRUE(WaitForMessages(m_pWindow, 1));

    ASSERT_TRUE(PressKeys("Caps_Lock"));
    ASSERT_TRUE(WaitUntil([] { return (LockedModifiers() & LockMask) != 0; }, kWaitMilliseconds));
    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    ASSERT_TRUE(WaitForMessages(m_pWindow, 2));

    EXPECT_EQ(m_pWindow->m_messages[1].lParam, MakeHotKeyLParam(kCtrlAlt, 'P'));
}

TEST_F(SystemHotKeys, RegisterACombinationOnlyForTheFirstIdThatAsks)
{
    auto* other = new CHotKeyWindow();
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));

    EXPECT_FALSE(RegisterHotKey(m_pWindow, 2, kCtrlAlt, 'P'));
    EXPECT_FALSE(RegisterHotKey(other, 1, kCtrlAlt, 'P'));
    EXPECT_FALSE(IsHotKeyRegistered(m_pWindow, 2));
    EXPECT_FALSE(IsHotKeyRegistered(other, 1));

    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    ASSERT_TRUE(WaitForMessages(m_pWindow, 1));
    EXPECT_EQ(m_pWindow->m_messages[0].id, 1);
    EXPECT_TRUE(other->m_messages.empty());
    DestroyWindow(other);
}

TEST_F(SystemHotKeys, RefuseACombinationThatAnotherProgramHolds)
{
    CXKeyGrabber otherProgram(CXKeyGrabber::GrabArguments("p", kXCtrlAlt));
    ASSERT_TRUE(otherProgram.Grabbed()) << otherProgram.Answer();

    EXPECT_FALSE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));
    EXPECT_FALSE(IsHotKeyRegistered(m_pWindow, 1));
    EXPECT_TRUE(RegisterHotKey(m_pWindow, 2, kCtrlAlt, 'O'));
}

// The player's threads talk to the X server over connections of their own;
// their errors, grab refusals among them, have nothing to do with ours.
TEST_F(SystemHotKeys, ErrorsOnAnotherConnectionDoNotCountAgainstTheProgramsGrabs)
{
    CXKeyGrabber otherProgram(CXKeyGrabber::GrabArguments("p", kXCtrlAlt));
    ASSERT_TRUE(otherProgram.Grabbed()) << otherProgram.Answer();
    Display* own = XOpenDisplay(nullptr);
    ASSERT_NE(own, nullptr);
    std::atomic<bool> stop{false};
    std::atomic<int> refusals{0};
    std::thread player(
        [&]
        {
            const KeyCode p = XKeysymToKeycode(own, XK_p);
            while (!stop)
            {
                XGrabKey(own, p, ControlMask | Mod1Mask, DefaultRootWindow(own), False,
                         GrabModeAsync, GrabModeAsync);
                XSync(own, False);
                ++refusals;
            }
        });
    while (refusals < 100)
        std::this_thread::yield();
    int registered = 0;
    for (int i = 0; i < 100; ++i)
    {
        registered += RegisterHotKey(m_pWindow, 1, kCtrlAlt, i % 2 ? 'O' : 'L') ? 1 : 0;
        UnregisterHotKey(m_pWindow, 1);
    }
    stop = true;
    player.join();
    XCloseDisplay(own);
    EXPECT_EQ(registered, 100);
}

TEST_F(SystemHotKeys, KeepNoPartOfARefusedCombination)
{
    // The other program holds the combination only for Num Lock on, so the
    // plain grab is made and has to be taken back.
    CXKeyGrabber otherProgram(CXKeyGrabber::GrabArguments("p", {"control", "mod1", "mod2"}));
    ASSERT_TRUE(otherProgram.Grabbed()) << otherProgram.Answer();

    EXPECT_FALSE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));

    otherProgram.Stop();
    EXPECT_TRUE(AnotherClientCanGrab("p", kXCtrlAlt));
    EXPECT_TRUE(AnotherClientCanGrab("p", {"control", "mod1", "lock"}));
}

TEST_F(SystemHotKeys, ReplaceTheCombinationOfAnIdRegisteredAgain)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'O'));

    EXPECT_TRUE(AnotherClientCanGrab("p", kXCtrlAlt));
    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    ASSERT_TRUE(PressKeys("ctrl+alt+o"));

    ASSERT_TRUE(WaitForMessages(m_pWindow, 1));
    PumpEvents();
    ASSERT_EQ(m_pWindow->m_messages.size(), 1u);
    EXPECT_EQ(m_pWindow->m_messages[0].lParam, MakeHotKeyLParam(kCtrlAlt, 'O'));
}

TEST_F(SystemHotKeys, KeepTheOldCombinationWhenTheNewOneIsRefused)
{
    CXKeyGrabber otherProgram(CXKeyGrabber::GrabArguments("o", kXCtrlAlt));
    ASSERT_TRUE(otherProgram.Grabbed()) << otherProgram.Answer();
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));

    EXPECT_FALSE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'O'));

    EXPECT_TRUE(IsHotKeyRegistered(m_pWindow, 1));
    EXPECT_FALSE(AnotherClientCanGrab("p", kXCtrlAlt));
}

TEST_F(SystemHotKeys, AcceptTheSameCombinationForTheSameIdAgain)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));
    EXPECT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));

    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    EXPECT_TRUE(WaitForMessages(m_pWindow, 1));
}

TEST_F(SystemHotKeys, LetAnotherProgramHaveACombinationOnceItIsReleased)
{
    ASSERT_TRUE(RegisterHotKey(m_pWindow, 1, kCtrlAlt, 'P'));
    ASSERT_FALSE(AnotherClientCanGrab("p", kXCtrlAlt));

    EXPECT_TRUE(UnregisterHotKey(m_pWindow, 1));

    EXPECT_FALSE(IsHotKeyRegistered(m_pWindow, 1));
    EXPECT_TRUE(AnotherClientCanGrab("p", kXCtrlAlt));
    EXPECT_TRUE(AnotherClientCanGrab("p", {"control", "mod1", "mod2", "lock"}));
    EXPECT_FALSE(UnregisterHotKey(m_pWindow, 1));
}

TEST_F(SystemHotKeys, ReleaseEveryCombinationOfADestroyedWindow)
{
    auto* window = new CHotKeyWindow();
    auto* child = new wxPanel(window);
    ASSERT_TRUE(RegisterHotKey(window, 1, kCtrlAlt, 'P'));
    ASSERT_TRUE(RegisterHotKey(window, 2, kCtrlAlt, 'O'));
    ASSERT_TRUE(RegisterHotKey(child, 1, MOD_SHIFT, VK_F1 + 4));

    DestroyWindow(window);

    EXPECT_FALSE(IsHotKeyRegistered(window, 1));
    EXPECT_FALSE(IsHotKeyRegistered(window, 2));
    EXPECT_FALSE(IsHotKeyRegistered(child, 1));
    EXPECT_TRUE(AnotherClientCanGrab("p", kXCtrlAlt));
    EXPECT_TRUE(AnotherClientCanGrab("o", kXCtrlAlt));
    EXPECT_TRUE(AnotherClientCanGrab("F5", {"shift"}));
}

TEST_F(SystemHotKeys, RefuseModifierBitsTheyDoNotKnow)
{
    EXPECT_FALSE(RegisterHotKey(m_pWindow, 1, 0x4000 | MOD_CONTROL, 'P'));
    EXPECT_FALSE(RegisterHotKey(m_pWindow, 1, 0x10, 'P'));
    EXPECT_FALSE(IsHotKeyRegistered(m_pWindow, 1));
}

TEST_F(SystemHotKeys, RefuseAKeyTheKeyboardDoesNotHave)
{
    if (XKeysymToKeycode(XDisplay(), XK_F24) != 0)
        GTEST_SKIP() << "this keyboard has F24";
    EXPECT_FALSE(RegisterHotKey(m_pWindow, 1, MOD_CONTROL, VK_F24));
    EXPECT_FALSE(RegisterHotKey(m_pWindow, 1, MOD_CONTROL, 0x07)); // no key at all
}

TEST_F(SystemHotKeys, RefuseAWindowThatIsNone)
{
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, kCtrlAlt, 'P'));
    EXPECT_FALSE(UnregisterHotKey(nullptr, 1));
}
