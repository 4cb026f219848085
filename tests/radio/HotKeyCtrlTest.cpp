// The hot-key control on the real X server: keys typed with xdotool while it
// has the focus.

#include "radio/HotKeyCtrl.h"
#include "platform/VirtualKeys.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"
#include "support/XKeyGrabber.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/xrc/xmlres.h>

#include <memory>

// Xlib's macros (None, Bool, Status) must come after GoogleTest and wxWidgets.
#include <X11/XKBlib.h>
#include <gdk/gdkx.h>

namespace
{
constexpr int kWaitMilliseconds = 10000;

bool IsNumLockOn()
{
    XkbStateRec state;
    XkbGetState(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), XkbUseCoreKbd, &state);
    return (state.locked_mods & Mod2Mask) != 0;
}

class HotKeyControl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "hot-key control");
        auto* panel = new wxPanel(m_pFrame);
        m_pControl = new CHotKeyCtrl(panel, 1010);
        m_pNext = new CHotKeyCtrl(panel, 1011);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(m_pControl);
        sizer->Add(m_pNext);
        panel->SetSizer(sizer);
        m_pFrame->Show();
        m_pFrame->Raise();
        ASSERT_TRUE(WaitUntil([&] { return m_pFrame->IsActive(); }, kWaitMilliseconds));
        m_pControl->SetFocus();
        ASSERT_TRUE(
            WaitUntil([&] { return wxWindow::FindFocus() == m_pControl; }, kWaitMilliseconds));
    }

    void TearDown() override
    {
        if (IsNumLockOn())
            PressKeys("Num_Lock");
        m_pFrame->Destroy();
        PumpEvents();
    }

    // Types the keys and waits until the control holds the expected word.
    bool Type(const std::string& keys, unsigned expectedWord)
    {
        return PressKeys(keys) && WaitUntil([&] { return m_pControl->GetHotKey() == expectedWord; },
                                            kWaitMilliseconds);
    }

    wxFrame* m_pFrame = nullptr;
    CHotKeyCtrl* m_pControl = nullptr;
    CHotKeyCtrl* m_pNext = nullptr;
};
} // namespace

TEST_F(HotKeyControl, StartsEmpty)
{
    EXPECT_EQ(m_pControl->GetHotKey(), 0u);
    EXPECT_EQ(m_pControl->GetHotKeyName(), "None");
}

TEST_F(HotKeyControl, TakesACombinationTypedWhileItHasTheFocus)
{
    ASSERT_TRUE(Type("ctrl+alt+p", MakeHotKeyWord('P', HOTKEYF_CONTROL | HOTKEYF_ALT)));
    EXPECT_EQ(m_pControl->GetHotKeyName(), "Ctrl + Alt + P");
    EXPECT_EQ(m_pNext->GetHotKey(), 0u);
}

TEST_F(HotKeyControl, MarksANavigationKeyAsExtended)
{
    ASSERT_TRUE(
        Type("ctrl+Home", MakeHotKeyWord(platform::VK_HOME, HOTKEYF_CONTROL | HOTKEYF_EXT)));
    EXPECT_EQ(m_pControl->GetHotKeyName(), "Ctrl + Home");
}

TEST_F(HotKeyControl, ReadsTheKeypadByNumLock)
{
    ASSERT_FALSE(IsNumLockOn());
    ASSERT_TRUE(Type("KP_Home", MakeHotKeyWord(platform::VK_HOME, 0)));

    ASSERT_TRUE(PressKeys("Num_Lock"));
    ASSERT_TRUE(WaitUntil(IsNumLockOn, kWaitMilliseconds));
    ASSERT_TRUE(Type("KP_Home", MakeHotKeyWord(platform::VK_NUMPAD0 + 7, 0)));
    EXPECT_EQ(m_pControl->GetHotKeyName(), "Num 7");
}

TEST_F(HotKeyControl, ReadsAShiftedKeyAsTheKeyItself)
{
    ASSERT_TRUE(Type("shift+1", MakeHotKeyWord('1', HOTKEYF_SHIFT)));
    ASSERT_TRUE(Type("ctrl+shift+a", MakeHotKeyWord('A', HOTKEYF_CONTROL | HOTKEYF_SHIFT)));
    EXPECT_EQ(m_pControl->GetHotKeyName(), "Ctrl + Shift + A");
}

TEST_F(HotKeyControl, TakesAMediaKey)
{
    ASSERT_TRUE(Type("XF86AudioPlay", MakeHotKeyWord(platform::VK_MEDIA_PLAY_PAUSE, HOTKEYF_EXT)));
    EXPECT_EQ(m_pControl->GetHotKeyName(), "Play/Pause");
}

TEST_F(HotKeyControl, EmptiesWhenModifiersAreLetGoWithoutAKey)
{
    ASSERT_TRUE(Type("ctrl+alt+p", MakeHotKeyWord('P', HOTKEYF_CONTROL | HOTKEYF_ALT)));

    ASSERT_TRUE(Type("ctrl", 0));
    EXPECT_EQ(m_pControl->GetHotKeyName(), "None");
}

TEST_F(HotKeyControl, PassesTheFocusOnWithTab)
{
    m_pControl->SetHotKey('P', HOTKEYF_CONTROL);

    ASSERT_TRUE(PressKeys("Tab"));

    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == m_pNext; }, kWaitMilliseconds));
    EXPECT_EQ(m_pControl->GetHotKey(), MakeHotKeyWord('P', HOTKEYF_CONTROL));
    EXPECT_EQ(m_pNext->GetHotKey(), 0u);
}

TEST_F(HotKeyControl, ShowsWhatItIsGivenAndGivesItBack)
{
    m_pControl->SetHotKeyWord(0x0A24);
    EXPECT_EQ(m_pControl->GetHotKey(), 0x0A24u);
    EXPECT_EQ(m_pControl->GetHotKeyName(), "Ctrl + Home");

    std::uint16_t key = 0, flags = 0;
    m_pControl->SetHotKey(0x150, 0x106); // only the low bytes count
    m_pControl->GetHotKey(key, flags);
    EXPECT_EQ(key, 0x50);
    EXPECT_EQ(flags, HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(m_pControl->GetHotKeyName(), "Ctrl + Alt + P");

    m_pControl->SetHotKeyWord(0);
    EXPECT_EQ(m_pControl->GetHotKey(), 0u);
    EXPECT_EQ(m_pControl->GetHotKeyName(), "None");
}

TEST(HotKeyControlResource, IsCreatedFromAnXrcFile)
{
    CTempHome home;
    const std::string path = home.Path() + "/form.xrc";
    WriteWholeFile(path, "<?xml version=\"1.0\"?>\n"
                         "<resource xmlns=\"http://www.wxwidgets.org/wxxrc\" version=\"2.5.3.0\">\n"
                         "  <object class=\"wxPanel\" name=\"form\">\n"
                         "    <object class=\"CHotKeyCtrl\" name=\"hot_key_play\">\n"
                         "      <pos>186,24d</pos>\n"
                         "      <size>80,14d</size>\n"
                         "      <style>wxBORDER_SUNKEN</style>\n"
                         "    </object>\n"
                         "  </object>\n"
                         "</resource>\n");
    wxXmlResource::Get()->InitAllHandlers(); // the form itself is a wxPanel
    CHotKeyCtrl::AddXmlHandler();
    ASSERT_TRUE(wxXmlResource::Get()->Load(path));
    auto* frame = new wxFrame(nullptr, wxID_ANY, "form");

    wxPanel* form = wxXmlResource::Get()->LoadPanel(frame, "form");

    ASSERT_NE(form, nullptr);
    auto* control = wxDynamicCast(form->FindWindow("hot_key_play"), CHotKeyCtrl);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->GetSize(), form->ConvertDialogToPixels(wxSize(80, 14)));
    EXPECT_EQ(control->GetHotKeyName(), "None");
    wxXmlResource::Get()->Unload(path);
    frame->Destroy();
    PumpEvents();
}
