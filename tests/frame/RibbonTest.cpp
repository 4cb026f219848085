// The ribbon, looks, status texts, tray texts, hiding and page placement of
// the real main window.

#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/ChildFrame.h"
#include "frame/CustomMFCRibbonApplicationButton.h"
#include "frame/CustomMFCRibbonBar.h"
#include "frame/MainFrame.h"
#include "frame/RibbonLayout.h"
#include "frame/StatusPanes.h"
#include "frame/TabRowButton.h"
#include "frame/TrayIcon.h"
#include "frame/TrayMenu.h"
#include "res/Resources.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/docview.h>
#include <wx/menu.h>
#include <wx/rawbmp.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/statusbr.h>
#include <wx/xrc/xmlres.h>

namespace
{
CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

CCustomMFCRibbonBar* Ribbon()
{
    return Frame()->GetRibbonBar();
}

wxString ActiveViewClass()
{
    wxView* view = wxDocManager::GetDocumentManager()->GetCurrentView();
    return view ? wxString(view->GetClassInfo()->GetClassName()) : wxString("none");
}

void OpenCategory(int index)
{
    Frame()->OpenCategoryPage(index);
    PumpEvents();
}

// The checked states the update handlers give the look commands.
std::vector<int> CheckedLooks()
{
    std::vector<int> checked;
    for (int look = wc::ID_VIEW_APPLOOK_WIN_2000; look <= wc::ID_VIEW_APPLOOK_OFF_2007_AQUA; ++look)
    {
        wxUpdateUIEvent update(look);
        Frame()->ProcessWindowEvent(update);
        if (update.GetSetChecked() && update.GetChecked())
            checked.push_back(look);
    }
    return checked;
}

using Pane = CStatusPanes::Pane;

wxString StatusPane(Pane pane)
{
    return Frame()->GetStatusPanes()->GetPaneText(pane);
}
} // namespace

TEST(Ribbon, HasTheCategoriesPanelsAndElementsOfTheTableInOrder)
{
    const auto& categories = RibbonCategories();
    ASSERT_EQ(Ribbon()->GetPageCount(), categories.size());
    for (size_t c = 0; c < categories.size(); ++c)
    {
        wxRibbonPage* page = Ribbon()->GetPage(static_cast<int>(c));
        EXPECT_EQ(page->GetLabel(), categories[c].caption);
        std::vector<wxRibbonPanel*> panels;
        for (wxWindow* child : page->GetChildren())
            if (auto* panel = dynamic_cast<wxRibbonPanel*>(child))
                panels.push_back(panel);
        ASSERT_EQ(panels.size(), categories[c].panels.size()) << categories[c].caption;
        for (size_t p = 0; p < panels.size(); ++p)
        {
            const RibbonPanelLayout& layout = categories[c].panels[p];
            EXPECT_EQ(panels[p]->GetLabel(), layout.caption);
            auto* buttons = dynamic_cast<wxRibbonButtonBar*>(panels[p]->GetChildren()[0]);
            ASSERT_NE(buttons, nullptr);
            ASSERT_EQ(buttons->GetButtonCount(), layout.elements.size()) << layout.caption;
            for (size_t e = 0; e < layout.elements.size(); ++e)
                EXPECT_EQ(buttons->GetItemId(buttons->GetItem(e)), layout.elements[e].command)
                    << layout.elements[e].caption;
        }
    }
}

// The ribbon's images are cut from strips: each keeps the pixels of its own
// place in the strip, and only those (not the strip's whole rows, which
// would hold the strip's width in memory for every icon).
TEST(Ribbon, AStripImageIsItsPlaceInTheStripAndNoMore)
{
    res::LoadXrcResources();
    const wxImage strip =
        wxXmlResource::Get()->LoadBitmap(res::kRibbonSmallImages).ConvertToImage();
    ASSERT_TRUE(strip.IsOk());
    for (int index : {0, 4, 10})
    {
        wxBitmap icon = res::StripImage(res::kRibbonSmallImages, index, 16);
        ASSERT_EQ(icon.GetSize(), wxSize(16, 16));
        const wxImage image = icon.ConvertToImage();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
            {
                ASSERT_EQ(image.GetRed(x, y), strip.GetRed(index * 16 + x, y));
                ASSERT_EQ(image.GetAlpha(x, y), strip.GetAlpha(index * 16 + x, y));
            }
        wxAlphaPixelData pixels(icon);
        ASSERT_TRUE(pixels);
        EXPECT_LE(pixels.GetRowStride(), 16 * 4) << "image " << index;
    }
}

TEST(Ribbon, TheTabRowEndsWithTheStyleMenuAndTheAboutButton)
{
    const auto& elements = Ribbon()->GetTabRowElements();
    ASSERT_EQ(elements.size(), 2u);
    wxMenu* style = elements[0]->GetMenu();
    ASSERT_NE(style, nullptr);
    std::vector<std::pair<int, std::string>> items;
    for (const wxMenuItem* item : style->GetMenuItems())
        items.emplace_back(item->GetId(), item->GetItemLabel().utf8_string());
    EXPECT_EQ(items,
              (std::vector<std::pair<int, std::string>>{{215, "Office 2007 (&Blue Style)"},
                                                        {216, "Office 2007 (B&lack Style)"},
                                                        {217, "Office 2007 (&Silver Style)"},
                                                        {218, "Office 2007 (&Aqua Style)"}}));
    EXPECT_EQ(elements[0]->GetToolTipText(),
              "Modify Visual Style\nChoose one of the Office 2007 themes");
    EXPECT_EQ(elements[1]->GetMenu(), nullptr);
    EXPECT_EQ(Frame()->GetApplicationButton()->GetToolTipText(),
              "Click Here to Change Application Skin");
}

TEST(Ribbon, ACategoryActivationPostsTheSwitchBeforeThePageChanges)
{
    OpenCategory(0);
    CMessageRecorder recorder;
    wxRibbonBarEvent click(wxEVT_RIBBONBAR_PAGE_CHANGING, Ribbon()->GetId(), Ribbon()->GetPage(3));
    click.SetEventObject(Ribbon());
    Ribbon()->ProcessWindowEvent(click);
    ASSERT_EQ(recorder.Count(wc::WM_OPEN_CATEGORY), 1);
    EXPECT_EQ(recorder.Records()[0].wParam, 3);
    EXPECT_EQ(recorder.Records()[0].lParam, 3);
    EXPECT_EQ(ActiveViewClass(), "CWavecrestView") << "the page switch comes later";
    PumpEvents();
    EXPECT_EQ(ActiveViewClass(), "CHardwareStoreView");
    EXPECT_EQ(Frame()->GetPages().size(), 1u);
}

TEST(Ribbon, ActivatingACategoryInCodeAlsoPostsAndOpensItsPage)
{
    CMessageRecorder recorder;
    EXPECT_TRUE(Ribbon()->ActivateCategory(1));
    EXPECT_EQ(recorder.Count(wc::WM_OPEN_CATEGORY), 1);
    EXPECT_EQ(Ribbon()->GetActivePage(), 1);
    PumpEvents();
    EXPECT_EQ(ActiveViewClass(), "CRadioSettingsView");
    EXPECT_EQ(Frame()->GetPages().size(), 1u);
    OpenCategory(0);
}

TEST(Looks, TheApplicationButtonStepsToTheNextLookAndStoresIt)
{
    Frame()->OnApplicationLook(218);
    CMessageRecorder recorder;
    wxMouseEvent press(wxEVT_LEFT_DOWN);
    Frame()->GetApplicationButton()->ProcessWindowEvent(press);
    EXPECT_EQ(recorder.Count(wc::WM_NEXT_APPLICATION_LOOK), 1);
    EXPECT_EQ(Frame()->GetApplicationLook(), 218u) << "posted, not yet handled";
    PumpEvents();
    EXPECT_EQ(Frame()->GetApplicationLook(), 215u);
    EXPECT_EQ(GetWorkspaceInt("ApplicationLook", 0), 215);

    wxMouseEvent doubleClick(wxEVT_LEFT_DCLICK);
    Frame()->GetApplicationButton()->ProcessWindowEvent(doubleClick);
    PumpEvents();
    EXPECT_EQ(Frame()->GetApplicationLook(), 216u);
}

TEST(Looks, TheMenuMarksTheCurrentLookAndNoneForAnUnknownOne)
{
    platform::SendCommand(Frame(), 217);
    EXPECT_EQ(CheckedLooks(), std::vector<int>{217});
    Frame()->OnApplicationLook(300);
    EXPECT_EQ(CheckedLooks(), std::vector<int>{});
    Frame()->NextApplicationLook();
    EXPECT_EQ(Frame()->GetApplicationLook(), 215u);
    for (int look = 210; look <= 218; ++look)
        Frame()->OnApplicationLook(static_cast<std::uint32_t>(look)); // every look can be drawn
    Frame()->OnApplicationLook(216);
}

TEST(StatusTexts, TheFirstPaneShowsTheStatusOnceThePostedRefreshIsHandled)
{
    g_pCachedSettings->m_nLastCategory.reset();
    Frame()->SetStatusText("Buffering 40%");
    EXPECT_EQ(Frame()->GetTrayTip(), "Wavecrest by Tolvane\nBuffering 40%");
    PumpEvents();
    EXPECT_EQ(StatusPane(Pane::Status), "Buffering 40%");
    EXPECT_EQ(StatusPane(Pane::Contact), "Contact Us");
    EXPECT_EQ(Frame()->GetStatusPanes()->GetPaneDescription(Pane::Status),
              "This Pane Displays Current Status");

    Frame()->SetStatusText("");
    EXPECT_EQ(Frame()->GetTrayTip(), "Wavecrest by Tolvane");
    PumpEvents();
    EXPECT_EQ(StatusPane(Pane::Status), "");

    Frame()->SetStatusText(wxString('y', 200));
    EXPECT_EQ(Frame()->GetTrayTip().length(), 127u);
}

TEST(StatusTexts, TheStatusPaneIsNoWiderThanItsReferenceTextAndTheContactPaneEndsTheBar)
{
    Frame()->BringToFront();
    CStatusPanes* panes = Frame()->GetStatusPanes();
    const int statusWidth = panes->GetPaneReferenceWidth(Pane::Status);
    const int contactWidth = panes->GetPaneReferenceWidth(Pane::Contact);
    const wxSize before = Frame()->GetSize();
    // A window wider than both panes need, then one too narrow for them.
    for (const int width : {statusWidth + contactWidth + 300, statusWidth / 2 + contactWidth})
    {
        Frame()->SetSize(wxSize(width, before.y));
        ASSERT_TRUE(WaitUntil([&] { return panes->GetSize().x == width; })) << width;
        const wxRect status = panes->GetPaneRect(Pane::Status);
        const wxRect contact = panes->GetPaneRect(Pane::Contact);
        EXPECT_LE(status.width, statusWidth) << width;
        EXPECT_GT(status.width, statusWidth / 3) << width;
        EXPECT_LT(status.GetRight(), contact.GetLeft()) << width;
        EXPECT_LE(contact.width, contactWidth) << width;
        EXPECT_GT(contact.width, contactWidth - 20) << width;
        // Only the size grip may follow the contact pane.
        EXPECT_LE(contact.GetRight(), width) << width;
        EXPECT_GT(contact.GetRight(), width - 40) << width;
    }
    Frame()->SetSize(before);
    PumpEvents();
}

TEST(StatusTexts, TheStoredCategoryChoosesThePaneTexts)
{
    Frame()->SetStatusText("Playing");
    for (int category : {1, 2, 3, 9, 0})
    {
        WriteSettingInt("LastCategory", category);
        g_pCachedSettings->m_nLastCategory.reset();
        const wxString before = StatusPane(Pane::Status);
        platform::PostMessage(Frame(), wc::WM_UPDATE_STATUS_PANES);
        PumpEvents();
        switch (category)
        {
        case 0:
            EXPECT_EQ(StatusPane(Pane::Status), "Playing");
            break;
        case 1:
        case 2:
            EXPECT_TRUE(StatusPane(Pane::Status).Contains("www.tolvane.example")) << category;
            break;
        case 3:
            EXPECT_TRUE(StatusPane(Pane::Status).Contains("store.tolvane.example"));
            break;
        default:
            EXPECT_EQ(StatusPane(Pane::Status), before)
                << "a value naming no category changes nothing";
        }
    }
    EXPECT_EQ(GetSettingInt("LastCategory", -7), 0) << "only this test wrote it";
}

TEST(Hiding, TheCloseButtonAndTheHideCommandNeverEndTheProgram)
{
    Frame()->BringToFront();
    const std::vector<CChildFrame*> pagesBefore = Frame()->GetPages();
    ASSERT_FALSE(pagesBefore.empty());
    const std::string viewBefore = ActiveViewClass().ToStdString();
    Frame()->Close(); // as the close button does: the close can be vetoed
    PumpEvents();
    ASSERT_NE(Frame(), nullptr);
    EXPECT_FALSE(Frame()->IsBeingDeleted());
    // Hiding keeps the open page (the radio goes on playing).
    EXPECT_EQ(Frame()->GetPages(), pagesBefore);
    EXPECT_EQ(ActiveViewClass().ToStdString(), viewBefore);
    // Without a notification area the window is iconified, never hidden: a
    // hidden window could not be brought back.
    EXPECT_EQ(Frame()->IsShown(), !Frame()->HasTrayIcon());

    platform::SendCommand(Frame(), wc::ID_TRAY_SHOW);
    EXPECT_TRUE(Frame()->IsShown());
    EXPECT_FALSE(Frame()->IsIconized());
    platform::SendCommand(Frame(), wc::ID_HIDE_TO_TRAY);
    EXPECT_EQ(Frame()->IsShown(), !Frame()->HasTrayIcon());
    wxTaskBarIconEvent doubleClick(wxEVT_TASKBAR_LEFT_DCLICK, Frame()->GetTrayIcon());
    Frame()->GetTrayIcon()->ProcessEvent(doubleClick); // a double click on the icon
    EXPECT_TRUE(Frame()->IsShown());
}

TEST(Placement, EachPageFitsTheMainWindowOnceEver)
{
    Frame()->BringToFront();
    for (const char* flag : {"CWavecrestView", "CRadioSettingsView"})
        WriteSettingInt(flag, 0);
    const wxPoint position = Frame()->GetPosition();

    OpenCategory(1);
    EXPECT_EQ(GetSettingInt("CRadioSettingsView", 0), 1);
    Frame()->SetSize(wxSize(900, 700)); // the person resizes the window
    PumpEvents();
    OpenCategory(0);
    EXPECT_EQ(GetSettingInt("CWavecrestView", 0), 1);
    const wxSize fitted = Frame()->GetSize();
    Frame()->SetSize(wxSize(910, 710));
    PumpEvents();
    OpenCategory(1);
    OpenCategory(0);
    EXPECT_EQ(Frame()->GetSize(), wxSize(910, 710)) << "fitted once per page, ever";

    WriteSettingInt("CWavecrestView", 0);
    OpenCategory(0);
    EXPECT_EQ(Frame()->GetSize(), fitted) << "a flag set back to 0 fits again";
    EXPECT_EQ(Frame()->GetPosition(), position) << "the fit never moves the window";
}

TEST(TrayMenu, CustomizeMenuOpensAModelessDialogWhoseChoiceIsKept)
{
    platform::SendCommand(Frame(), wc::ID_TRAY_CUSTOMIZE_MENU);
    auto* dialog = dynamic_cast<wxDialog*>(wxWindow::FindWindowByName("IDD_CUSTOMIZE_TRAY_MENU"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->IsModal());
    wxCheckBox* play = nullptr;
    wxCheckBox* exit = nullptr;
    for (wxWindow* child : dialog->GetChildren())
        if (auto* box = dynamic_cast<wxCheckBox*>(child))
        {
            if (box->GetLabel() == "Play")
                play = box;
            if (box->GetLabel() == "Exit")
                exit = box;
        }
    ASSERT_NE(play, nullptr);
    ASSERT_NE(exit, nullptr);
    EXPECT_FALSE(exit->IsEnabled()) << "Exit can never be hidden";
    play->SetValue(false);
    wxCommandEvent toggled(wxEVT_CHECKBOX, play->GetId());
    toggled.SetEventObject(play);
    play->ProcessWindowEvent(toggled);
    EXPECT_EQ(LoadHiddenTrayCommands(), std::vector<int>{wc::ID_TRAY_PLAY});
    dialog->Close();
    PumpEvents();
    EXPECT_EQ(wxWindow::FindWindowByName("IDD_CUSTOMIZE_TRAY_MENU"), nullptr);
    StoreHiddenTrayCommands({});
}

TEST(Ribbon, PanelsGetTheirWholeCaptionsBackWhenTheWindowGrowsAgain)
{
    Frame()->Show();
    Ribbon()->ActivateCategory(0); // the first tab has the most panels
    PumpEvents();
    wxRibbonPage* page = Ribbon()->GetPage(Ribbon()->GetActivePage());
    ASSERT_NE(page, nullptr);
    const wxRect before = Frame()->GetRect();
    auto panelWidths = [page]
    {
        std::vector<int> widths;
        for (wxWindow* child : page->GetChildren())
            if (auto* panel = dynamic_cast<wxRibbonPanel*>(child))
                widths.push_back(panel->GetSize().x);
        return widths;
    };
    const std::vector<int> whole = panelWidths();
    Frame()->SetSize(wxSize(300, before.height));
    ASSERT_TRUE(WaitUntil([&] { return panelWidths() != whole; }));
    Frame()->SetSize(before);
    EXPECT_TRUE(WaitUntil([&] { return panelWidths() == whole; }))
        << "a panel stayed narrower than its caption";
}
