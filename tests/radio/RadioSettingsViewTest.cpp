// The hot-key settings page in the real application, on the real X server:
// the form, what Assign and Clear store and show, and the message boxes for
// combinations that cannot be registered and settings that cannot be written.
// Every test has a settings file of its own, fresh and empty, as on a first run.

#include "radio/RadioSettingsView.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "platform/HotKeys.h"
#include "platform/VirtualKeys.h"
#include "radio/HotKeyCtrl.h"
#include "radio/HotKeyPageActions.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"
#include "support/XKeyGrabber.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr int kWaitMilliseconds = 10000;
const char kAppTitle[] = "Wavecrest by Tolvane";
const std::vector<std::string> kCtrlAlt = {"control", "mod1"};

CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

CRadioSettingsView* View()
{
    return dynamic_cast<CRadioSettingsView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}

void StoreInSettings(const char* stem, int key, int mod)
{
    WriteSettingInt(wxString(stem) + " Key", key);
    WriteSettingInt(wxString(stem) + " Mod", mod);
}

std::pair<int, int> Stored(const char* stem)
{
    return {GetSettingInt(wxString(stem) + " Key", -1), GetSettingInt(wxString(stem) + " Mod", -1)};
}

class SettingsPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/wc-settings-page-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_strFolder = folder;
        SetSettingsFilePath(m_strFolder + "/settings.conf");
    }

    void TearDown() override
    {
        // Closing the page takes its registrations with it.
        wxDocManager::GetDocumentManager()->CloseDocuments(true);
        PumpEvents();
        SetSettingsFilePath(std::string());
        RemoveTree(m_strFolder);
    }

    // Opens the hot-key page as its ribbon category does (closing any page first).
    CRadioSettingsView* OpenPage()
    {
        Frame()->OpenCategoryPage(1);
        PumpEvents();
        CRadioSettingsView* view = View();
        EXPECT_NE(view, nullptr);
        return view;
    }

    CHotKeyCtrl& Control(std::size_t row) { return *View()->GetHotKeyCtrl(row); }

    bool IsRegistered(int id) { return platform::IsHotKeyRegistered(View()->GetForm(), id); }

    // Clicks a button of the form; the click travels up from the button itself.
    void Click(int buttonId)
    {
        auto* button = dynamic_cast<wxButton*>(View()->GetForm()->FindWindow(buttonId));
        ASSERT_NE(button, nullptr) << buttonId;
        wxCommandEvent click(wxEVT_BUTTON, buttonId);
        click.SetEventObject(button);
        button->Command(click);
        PumpEvents();
    }

    void Assign(std::size_t row, unsigned key, unsigned controlFlags)
    {
        Control(row).SetHotKey(key, controlFlags);
        Click(HotKeyPageActions()[row].assignButtonId);
    }

    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const platform::ModalRequest& request : m_modals.Requests())
            texts.push_back(request.text.utf8_string());
        return texts;
    }

    std::string m_strFolder;
    CModalRecorder m_modals{[](const platform::ModalRequest&) { return wxOK; }};
};

struct FormControl
{
    std::string className;
    std::string label;
    int x, y, width, height; // dialog units
};

// The form as it is designed, in tab order.
const std::vector<FormControl>& DesignedForm()
{
    static const std::vector<FormControl> form = {
        {"wxStaticBox", "System Wide Hot Keys", 7, 7, 469, 110},
        {"wxStaticText", "&Play :", 162, 26, 19, 8},
        {"wxStaticText", "Play &Next Channel :", 117, 42, 64, 8},
        {"wxStaticText", "Play P&revious Channel :", 105, 58, 76, 8},
        {"wxStaticText", "&Stop :", 161, 74, 20, 8},
        {"CHotKeyCtrl", "", 186, 24, 80, 14},
        {"CHotKeyCtrl", "", 186, 40, 80, 14},
        {"CHotKeyCtrl", "", 186, 56, 80, 14},
        {"CHotKeyCtrl", "", 186, 72, 80, 14},
        {"wxButton", "Assign", 272, 23, 50, 14},
        {"wxButton", "Assign", 272, 38, 50, 14},
        {"wxButton", "Assign", 272, 54, 50, 14},
        {"wxButton", "Assign", 272, 71, 50, 14},
        {"wxButton", "Clear", 328, 23, 50, 14},
        {"wxButton", "Clear", 328, 38, 50, 14},
        {"wxButton", "Clear", 328, 54, 50, 14},
        {"wxButton", "Clear", 328, 71, 50, 14},
        {"wxStaticText",
         "Note : Assign System Wide Hot Keys and then Switch to Radio Tab to use the System Wide "
         "Hotkeys.",
         16, 98, 322, 8},
    };
    return form;
}
} // namespace

// ---- The form ----------------------------------------------------------------

TEST_F(SettingsPage, ShowsEveryTextOfTheFormExactlyAndInTabOrder)
{
    ASSERT_NE(OpenPage(), nullptr);
    std::vector<std::pair<std::string, std::string>> shown;
    for (wxWindow* child : View()->GetForm()->GetChildren())
    {
        const std::string className = wxString(child->GetClassInfo()->GetClassName()).utf8_string();
        const bool isHotKeyCtrl = className == "CHotKeyCtrl";
        shown.emplace_back(className, isHotKeyCtrl ? "" : child->GetLabel().utf8_string());
        EXPECT_TRUE(child->IsShown()) << className;
    }
    std::vector<std::pair<std::string, std::string>> designed;
    for (const FormControl& control : DesignedForm())
        designed.emplace_back(control.className, control.label);
    EXPECT_EQ(shown, designed);
}

TEST_F(SettingsPage, PlacesTheControlsInDialogUnitsWithTheirIds)
{
    ASSERT_NE(OpenPage(), nullptr);
    wxPanel* form = View()->GetForm();
    EXPECT_EQ(form->GetMinSize(), form->ConvertDialogToPixels(wxSize(483, 281)));
    const wxWindowList& children = form->GetChildren();
    ASSERT_EQ(children.size(), DesignedForm().size());
    std::size_t index = 0;
    for (wxWindow* child : children)
    {
        const FormControl& designed = DesignedForm()[index++];
        const wxRect rect(form->ConvertDialogToPixels(wxPoint(designed.x, designed.y)),
                          form->ConvertDialogToPixels(wxSize(designed.width, designed.height)));
        if (dynamic_cast<wxStaticText*>(child))
            continue; // labels: see the next test
        EXPECT_EQ(child->GetRect(), rect) << designed.className << " " << designed.label;
    }
    for (int id = IDC_HOTKEY_PLAY; id <= IDC_HOTKEY_STOP; ++id)
        EXPECT_NE(dynamic_cast<CHotKeyCtrl*>(form->FindWindow(id)), nullptr) << id;
    for (const HotKeyPageAction& row : HotKeyPageActions())
    {
        EXPECT_EQ(form->FindWindow(row.assignButtonId)->GetLabel(), "Assign");
        EXPECT_EQ(form->FindWindow(row.clearButtonId)->GetLabel(), "Clear");
    }
    EXPECT_EQ(View()->GetHotKeyCtrl(kRowPlay)->GetId(), IDC_HOTKEY_PLAY);
    EXPECT_EQ(View()->GetHotKeyCtrl(kRowStop)->GetId(), IDC_HOTKEY_STOP);
}

TEST_F(SettingsPage, GivesEveryLabelRoomForItsWholeTextOnItsDesignedRow)
{
    ASSERT_NE(OpenPage(), nullptr);
    wxPanel* form = View()->GetForm();
    std::size_t index = 0;
    for (wxWindow* child : form->GetChildren())
    {
        const FormControl& designed = DesignedForm()[index++];
        auto* label = dynamic_cast<wxStaticText*>(child);
        if (!label)
            continue;
        const wxRect rect(form->ConvertDialogToPixels(wxPoint(designed.x, designed.y)),
                          form->ConvertDialogToPixels(wxSize(designed.width, designed.height)));
        const wxRect shown = label->GetRect();
        EXPECT_GE(shown.width, label->GetBestSize().x) << designed.label;
        EXPECT_GE(shown.width, rect.width) << designed.label;
        EXPECT_EQ(shown.y, rect.y) << designed.label;
        EXPECT_EQ(shown.height, rect.height) << designed.label;
        // The labels of the rows stay against their controls; the note keeps its left edge.
        const bool isRowLabel = designed.label != DesignedForm().back().label;
        EXPECT_EQ(label->HasFlag(wxALIGN_RIGHT), isRowLabel) << designed.label;
        if (isRowLabel)
        {
            EXPECT_EQ(shown.GetRight(), rect.GetRight()) << designed.label;
        }
        else
        {
            EXPECT_EQ(shown.x, rect.x) << designed.label;
        }
    }
}

// ---- Opening the page ---------------------------------------------------------

TEST_F(SettingsPage, OnAFirstRunShowsFourEmptyControlsAndNoMessage)
{
    ASSERT_NE(OpenPage(), nullptr);
    for (std::size_t row = 0; row < 4; ++row)
    {
        EXPECT_EQ(Control(row).GetHotKey(), 0u) << row;
        EXPECT_EQ(Control(row).GetHotKeyName(), "None") << row;
        EXPECT_FALSE(IsRegistered(HotKeyPageActions()[row].action.id)) << row;
    }
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(SettingsPage, OpeningPlacesThePageRefreshesThePanesAndEmptiesTheStatusText)
{
    Frame()->SetStatusText("Playing");
    PumpEvents();
    CMessageRecorder recorder;
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(Frame()->GetCurrentStatus(), "");
    EXPECT_EQ(GetSettingInt("CRadioSettingsView", 0), 1) << "the first fit is remembered";
    int panesRefreshes = 0;
    for (const platform::MessageRecord& record : recorder.Records())
    {
        if (record.number == wc::WM_UPDATE_STATUS_PANES)
        {
            EXPECT_EQ(record.kind, platform::MessageRecord::Kind::PostedMessage);
            EXPECT_EQ(record.target, Frame());
            ++panesRefreshes;
        }
    }
    EXPECT_EQ(panesRefreshes, 2) << "one from the page, one from the new status text";
}

TEST_F(SettingsPage, ShowsAStoredCtrlHomeAsCtrlHomeAndRegistersIt)
{
    StoreInSettings("Stop", platform::VK_HOME, 10);
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(Control(kRowStop).GetHotKeyName(), "Ctrl + Home");
    EXPECT_EQ(Control(kRowStop).GetHotKey(), 0x0A24u) << "the extended flag is shown";
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_STOP));
    EXPECT_FALSE(AnotherClientCanGrab("Home", {"control"}));
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(SettingsPage, ShowsStoredModifiersWithoutAKeyAsAnEmptyControl)
{
    StoreInSettings("Play", 0, 3);
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(Control(kRowPlay).GetHotKeyName(), "None");
    EXPECT_FALSE(IsRegistered(HOTKEY_ID_PLAY));
    EXPECT_TRUE(m_modals.Requests().empty());
}

// ---- Assign and Clear ------------------------------------------------------------

TEST_F(SettingsPage, AssigningCtrlAltPToPlayStoresKey80AndMod3AndRegistersIt)
{
    ASSERT_NE(OpenPage(), nullptr);
    Assign(kRowPlay, 'P', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(Stored("Play"), std::make_pair(80, 3));
    EXPECT_EQ(Control(kRowPlay).GetHotKeyName(), "Ctrl + Alt + P");
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_PLAY));
    EXPECT_FALSE(AnotherClientCanGrab("p", kCtrlAlt)) << "the page holds the combination";
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(SettingsPage, StoresTheModifiersInTheRegistrationLayout)
{
    struct Example
    {
        std::size_t row;
        unsigned key, controlFlags;
        std::pair<int, int> stored;
        const char* shown;
    };
    const std::vector<Example> examples = {
        {kRowPlay, 'A', HOTKEYF_SHIFT, {65, 4}, "Shift + A"},
        {kRowPlayNext, 'N', HOTKEYF_CONTROL | HOTKEYF_SHIFT, {78, 6}, "Ctrl + Shift + N"},
        {kRowPlayPrev, 'K', HOTKEYF_ALT, {75, 1}, "Alt + K"},
        {kRowStop, 'Q', HOTKEYF_SHIFT | HOTKEYF_ALT, {81, 5}, "Shift + Alt + Q"},
        {kRowPlay, platform::VK_HOME, HOTKEYF_CONTROL | HOTKEYF_EXT, {36, 10}, "Ctrl + Home"},
        {kRowPlayNext, 'M', 0, {77, 0}, "M"},
    };
    ASSERT_NE(OpenPage(), nullptr);
    for (const Example& example : examples)
    {
        const HotKeyPageAction& row = HotKeyPageActions()[example.row];
        Assign(example.row, example.key, example.controlFlags);
        EXPECT_EQ(Stored(row.action.stem), example.stored) << example.shown;
        EXPECT_EQ(Control(example.row).GetHotKey(),
                  MakeHotKeyWord(example.key, example.controlFlags))
            << example.shown;
        EXPECT_EQ(Control(example.row).GetHotKeyName(), example.shown);
        EXPECT_TRUE(IsRegistered(row.action.id)) << example.shown;
    }
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(SettingsPage, AnAssignmentShowsAllFourStoredHotKeysAgain)
{
    ASSERT_NE(OpenPage(), nullptr);
    StoreInSettings("Stop", 'S', 3);                       // behind the page's back
    Control(kRowPlayPrev).SetHotKey('X', HOTKEYF_CONTROL); // shown, never assigned
    Assign(kRowPlay, 'P', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(Control(kRowStop).GetHotKeyName(), "Ctrl + Alt + S");
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_STOP));
    EXPECT_EQ(Control(kRowPlayPrev).GetHotKeyName(), "None");
}

TEST_F(SettingsPage, ClearStoresZerosEmptiesTheControlAndLetsTheCombinationGo)
{
    const char* const keySyms[] = {"p", "n", "r", "s"};
    StoreInSettings("Play", 'P', 3);
    StoreInSettings("Play Next", 'N', 3);
    StoreInSettings("Play Prev", 'R', 3);
    StoreInSettings("Stop", 'S', 3);
    ASSERT_NE(OpenPage(), nullptr);
    for (std::size_t index = 0; index < 4; ++index)
    {
        const HotKeyPageAction& row = HotKeyPageActions()[index];
        ASSERT_TRUE(IsRegistered(row.action.id)) << row.action.stem;
        Click(row.clearButtonId);
        EXPECT_EQ(Stored(row.action.stem), std::make_pair(0, 0)) << row.action.stem;
        EXPECT_EQ(Control(index).GetHotKeyName(), "None") << row.action.stem;
        EXPECT_FALSE(IsRegistered(row.action.id)) << row.action.stem;
        EXPECT_TRUE(AnotherClientCanGrab(keySyms[index], kCtrlAlt)) << row.action.stem;
        for (std::size_t later = index + 1; later < 4; ++later)
            EXPECT_TRUE(IsRegistered(HotKeyPageActions()[later].action.id)) << "only its own row";
    }
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(SettingsPage, AssignWithAnEmptyControlBehavesLikeClear)
{
    StoreInSettings("Play Next", 'N', 3);
    ASSERT_NE(OpenPage(), nullptr);
    Control(kRowPlayNext).SetHotKeyWord(0);
    Click(IDC_ASSIGN_PLAY_NEXT);
    EXPECT_EQ(Stored("Play Next"), std::make_pair(0, 0));
    EXPECT_FALSE(IsRegistered(HOTKEY_ID_PLAY_NEXT));
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(SettingsPage, TakesACombinationTypedByAPersonAndAssignsIt)
{
    ASSERT_NE(OpenPage(), nullptr);
    Frame()->Raise();
    ASSERT_TRUE(WaitUntil([] { return Frame()->IsActive(); }, kWaitMilliseconds));
    Control(kRowPlayPrev).SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == &Control(kRowPlayPrev); },
                          kWaitMilliseconds));
    ASSERT_TRUE(PressKeys("ctrl+alt+r"));
    ASSERT_TRUE(WaitUntil([&] { return Control(kRowPlayPrev).GetHotKeyName() == "Ctrl + Alt + R"; },
                          kWaitMilliseconds));
    Click(IDC_ASSIGN_PLAY_PREV);
    EXPECT_EQ(Stored("Play Prev"), std::make_pair(82, 3));
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_PLAY_PREV));
}

TEST_F(SettingsPage, PressingAnAssignedCombinationWhileThePageIsShownDoesNothing)
{
    ASSERT_NE(OpenPage(), nullptr);
    Assign(kRowPlay, 'P', HOTKEYF_CONTROL | HOTKEYF_ALT);
    ASSERT_TRUE(IsRegistered(HOTKEY_ID_PLAY));
    CMessageRecorder recorder;
    ASSERT_TRUE(PressKeys("ctrl+alt+p"));
    ASSERT_TRUE(
        WaitUntil([&] { return recorder.Count(platform::WM_HOTKEY) == 1; }, kWaitMilliseconds))
        << "the key reaches the page's window";
    PumpEvents();
    for (const platform::MessageRecord& record : recorder.Records())
    {
        if (record.number == platform::WM_HOTKEY)
        {
            EXPECT_EQ(record.target, View()->GetForm());
        }
    }
    EXPECT_EQ(recorder.Count(wc::ID_PLAY), 0);
    EXPECT_EQ(recorder.Count(wc::ID_TRAY_PLAY), 0);
}

TEST_F(SettingsPage, LeavingThePageLetsItsCombinationsGo)
{
    ASSERT_NE(OpenPage(), nullptr);
    Assign(kRowStop, 'S', HOTKEYF_CONTROL | HOTKEYF_ALT);
    ASSERT_FALSE(AnotherClientCanGrab("s", kCtrlAlt));
    wxDocManager::GetDocumentManager()->CloseDocuments(true);
    PumpEvents();
    EXPECT_TRUE(AnotherClientCanGrab("s", kCtrlAlt));
    EXPECT_EQ(Stored("Stop"), std::make_pair(83, 3)) << "the stored key stays";
}

// ---- Combinations that cannot be registered --------------------------------------

TEST_F(SettingsPage, TwoActionsWithOneCombinationReportTheLaterOneOnly)
{
    ASSERT_NE(OpenPage(), nullptr);
    Assign(kRowStop, 'S', HOTKEYF_CONTROL | HOTKEYF_ALT);
    ASSERT_TRUE(m_modals.Requests().empty());

    Assign(kRowPlay, 'S', HOTKEYF_CONTROL | HOTKEYF_ALT);

    EXPECT_EQ(Stored("Play"), std::make_pair(83, 3)) << "stored all the same";
    ASSERT_EQ(m_modals.Requests().size(), 1u);
    const platform::ModalRequest& box = m_modals.Requests()[0];
    EXPECT_EQ(box.kind, platform::ModalRequest::Kind::MessageBox);
    EXPECT_EQ(box.text, "Failed to Load HotKey for Playing Channel.");
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_TRUE(box.style & wxICON_STOP);
    EXPECT_TRUE(box.style & wxOK);
    EXPECT_FALSE(box.style & wxCANCEL);
    EXPECT_FALSE(IsRegistered(HOTKEY_ID_PLAY));
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_STOP)) << "Stop keeps its registration";
    EXPECT_EQ(Control(kRowPlay).GetHotKeyName(), "Ctrl + Alt + S");

    // Opened afresh, Play comes first and takes the combination from Stop.
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"Failed to Load HotKey for Playing Channel.",
                                        "Failed to Load HotKey to Stop Playing Channel."}));
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_PLAY));
    EXPECT_FALSE(IsRegistered(HOTKEY_ID_STOP));
}

TEST_F(SettingsPage, ACombinationHeldByAnotherProgramIsReportedEachTimeThePageOpens)
{
    StoreInSettings("Play", 'P', 3);
    StoreInSettings("Stop", 'S', 3);
    CXKeyGrabber grabber(CXKeyGrabber::GrabArguments("p", kCtrlAlt));
    ASSERT_TRUE(grabber.Grabbed()) << grabber.Answer();

    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"Failed to Load HotKey for Playing Channel."}));
    EXPECT_EQ(Control(kRowPlay).GetHotKeyName(), "Ctrl + Alt + P") << "the stored key is shown";
    EXPECT_FALSE(IsRegistered(HOTKEY_ID_PLAY));
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_STOP));

    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"Failed to Load HotKey for Playing Channel.",
                                        "Failed to Load HotKey for Playing Channel."}));
    EXPECT_EQ(Stored("Play"), std::make_pair(80, 3)) << "the stored key stays";

    grabber.Stop();
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(m_modals.Requests().size(), 2u) << "free again: nothing more to report";
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_PLAY));
}

TEST_F(SettingsPage, EveryFailedRegistrationHasItsOwnBoxInActionOrder)
{
    const char* const keySyms[] = {"p", "n", "r", "s"};
    std::vector<std::unique_ptr<CXKeyGrabber>> grabbers;
    // Taken in reverse, so that the order of the boxes is the page's own.
    for (int index = 3; index >= 0; --index)
    {
        grabbers.push_back(
            std::make_unique<CXKeyGrabber>(CXKeyGrabber::GrabArguments(keySyms[index], kCtrlAlt)));
        ASSERT_TRUE(grabbers.back()->Grabbed()) << grabbers.back()->Answer();
    }
    StoreInSettings("Play", 'P', 3);
    StoreInSettings("Play Next", 'N', 3);
    StoreInSettings("Play Prev", 'R', 3);
    StoreInSettings("Stop", 'S', 3);

    ASSERT_NE(OpenPage(), nullptr);

    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"Failed to Load HotKey for Playing Channel.",
                                        "Failed to Load HotKey for Playing Next Channel.",
                                        "Failed to Load HotKey for Playing Previous Channel.",
                                        "Failed to Load HotKey to Stop Playing Channel."}));
    for (const platform::ModalRequest& box : m_modals.Requests())
    {
        EXPECT_EQ(box.caption, kAppTitle);
        EXPECT_TRUE(box.style & wxICON_STOP);
    }
}

// ---- Settings that cannot be written -------------------------------------------

TEST_F(SettingsPage, AFailedStoreIsReportedAndLeavesThePageAsItWas)
{
    StoreInSettings("Play", 'P', 3);
    ASSERT_NE(OpenPage(), nullptr);
    ASSERT_TRUE(IsRegistered(HOTKEY_ID_PLAY));
    // A settings folder that is a regular file: nothing can be written below it.
    const std::string blocker = m_strFolder + "/blocker";
    WriteWholeFile(blocker, "not a folder");
    SetSettingsFilePath(blocker + "/settings.conf");

    Assign(kRowPlay, 'Q', HOTKEYF_CONTROL | HOTKEYF_ALT);

    ASSERT_EQ(m_modals.Requests().size(), 1u);
    const platform::ModalRequest& box = m_modals.Requests()[0];
    EXPECT_EQ(box.text, "Failed to Store HotKey to Play Channel.");
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_TRUE(box.style & wxICON_STOP);
    EXPECT_EQ(Control(kRowPlay).GetHotKeyName(), "Ctrl + Alt + Q") << "not reloaded";
    EXPECT_TRUE(IsRegistered(HOTKEY_ID_PLAY));
    EXPECT_FALSE(AnotherClientCanGrab("p", kCtrlAlt)) << "the old registration stays";
    EXPECT_TRUE(AnotherClientCanGrab("q", kCtrlAlt));

    SetSettingsFilePath(m_strFolder + "/settings.conf");
    EXPECT_EQ(Stored("Play"), std::make_pair(80, 3));
}

TEST_F(SettingsPage, EveryAssignAndClearReportsAFailedStoreWithItsActionsText)
{
    ASSERT_NE(OpenPage(), nullptr);
    const std::string blocker = m_strFolder + "/blocker";
    WriteWholeFile(blocker, "not a folder");
    SetSettingsFilePath(blocker + "/settings.conf");

    std::vector<std::string> expected;
    for (std::size_t index = 0; index < 4; ++index)
    {
        const HotKeyPageAction& row = HotKeyPageActions()[index];
        Assign(index, 'P', HOTKEYF_CONTROL | HOTKEYF_ALT);
        Click(row.clearButtonId);
        expected.insert(expected.end(), 2, row.storeFailure);
        EXPECT_EQ(Control(index).GetHotKeyName(), "None") << "Clear empties the control first";
    }
    EXPECT_EQ(MessageTexts(), expected);
    for (std::size_t index = 0; index < 4; ++index)
        EXPECT_FALSE(IsRegistered(HotKeyPageActions()[index].action.id));
}
