// The main frame inside the real application object, started with no arguments.

#include "frame/MainFrame.h"
#include "core/Identifiers.h"
#include "frame/ChildFrame.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/docview.h>
#include <wx/stattext.h>

namespace
{
CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

wxDocManager* Manager()
{
    return wxDocManager::GetDocumentManager();
}

wxString ActiveViewClass()
{
    wxView* view = Manager()->GetCurrentView();
    return view ? wxString(view->GetClassInfo()->GetClassName()) : wxString("none");
}
} // namespace

TEST(MainFrame, HasTheTitleCaptionASizingBorderAndNoMinimiseOrMaximiseBox)
{
    ASSERT_NE(Frame(), nullptr);
    EXPECT_EQ(Frame()->GetTitle(), "Wavecrest by Tolvane");
    const long style = Frame()->GetWindowStyleFlag();
    EXPECT_TRUE(style & wxCAPTION);
    EXPECT_TRUE(style & wxRESIZE_BORDER);
    EXPECT_TRUE(style & wxCLOSE_BOX);
    EXPECT_FALSE(style & wxMINIMIZE_BOX);
    EXPECT_FALSE(style & wxMAXIMIZE_BOX);
    EXPECT_TRUE(Frame()->IsShown()) << "a start without arguments shows the window";
}

TEST(MainFrame, RegistersTheFivePageTemplatesInOrder)
{
    const wxList& templates = Manager()->GetTemplates();
    std::vector<std::string> classes;
    for (auto node = templates.GetFirst(); node; node = node->GetNext())
    {
        auto* docTemplate = static_cast<wxDocTemplate*>(node->GetData());
        classes.push_back((wxString(docTemplate->GetDocClassInfo()->GetClassName()) + "/" +
                           docTemplate->GetViewClassInfo()->GetClassName())
                              .utf8_string());
    }
    EXPECT_EQ(classes, (std::vector<std::string>{
                           "CWavecrestDoc/CWavecrestView", "CRadioSettingsDoc/CRadioSettingsView",
                           "CPromoDoc/CPromoView", "CHardwareStoreDoc/CHardwareStoreView",
                           "CStationDirectoryDoc/CStationDirectoryView"}));
}

TEST(MainFrame, OpensTheRadioPageAtTheFirstStart)
{
    EXPECT_EQ(Frame()->GetPages().size(), 1u);
    EXPECT_EQ(ActiveViewClass(), "CWavecrestView");
}

TEST(MainFrame, ACategoryClosesAllPagesAndOpensItsPageInALaterMessage)
{
    Frame()->OpenCategoryPage(2);
    EXPECT_TRUE(Frame()->GetPages().empty()) << "closed at once, and the new page not yet open";
    PumpEvents();
    ASSERT_EQ(Frame()->GetPages().size(), 1u);
    EXPECT_EQ(ActiveViewClass(), "CPromoView");
    EXPECT_TRUE(Frame()->GetPages().front()->IsShown());
}

TEST(MainFrame, AnIndexOutsideTheTemplatesOpensTheLastOne)
{
    for (int index : {7, -1, 5})
    {
        platform::PostMessage(Frame(), wc::WM_OPEN_CATEGORY, index, index);
        PumpEvents();
        EXPECT_EQ(Frame()->GetPages().size(), 1u) << index;
        EXPECT_EQ(ActiveViewClass(), "CStationDirectoryView") << index;
    }
    for (int index = 0; index < 5; ++index)
    {
        platform::PostMessage(Frame(), wc::WM_OPEN_CATEGORY, index, index);
        PumpEvents();
        EXPECT_EQ(Frame()->GetPages().size(), 1u) << index;
    }
}

TEST(MainFrame, TheAboutCommandShowsTheAboutBox)
{
    wxString version, contact;
    CModalRecorder recorder(
        [&](const platform::ModalRequest&) -> std::optional<int>
        {
            if (auto* text = wxWindow::FindWindowByName("IDC_VERSION"))
                version = text->GetLabel();
            if (auto* text = wxWindow::FindWindowByName("IDC_CONTACT"))
                contact = text->GetLabel();
            return wxID_OK;
        });
    platform::SendCommand(Frame(), wc::ID_APP_ABOUT);
    ASSERT_EQ(recorder.Requests().size(), 1u);
    EXPECT_EQ(recorder.Requests()[0].text, "IDD_ABOUTBOX");
    EXPECT_EQ(recorder.Requests()[0].caption, "About Wavecrest");
    EXPECT_EQ(version, "Wavecrest, Version 1.0");
    EXPECT_EQ(contact, "Contact Us : support@tolvane.example");
}

TEST(MainFrame, NewOffersThePageTypesAndOpensTheChosenOne)
{
    CModalRecorder recorder([](const platform::ModalRequest&) { return 2; });
    platform::SendCommand(Frame(), wc::ID_FILE_NEW);
    ASSERT_EQ(recorder.Requests().size(), 1u);
    EXPECT_EQ(ActiveViewClass(), "CPromoView");
    EXPECT_TRUE(Frame()->GetPages().back()->IsShown());
    Frame()->OpenCategoryPage(0);
    PumpEvents();
    EXPECT_EQ(Frame()->GetPages().size(), 1u);
}

TEST(MainFrame, OpenAsksForAFileAndACancelOpensNothing)
{
    CModalRecorder recorder;
    const size_t before = Frame()->GetPages().size();
    platform::SendCommand(Frame(), wc::ID_FILE_OPEN);
    EXPECT_EQ(recorder.Requests().size(), 1u);
    EXPECT_EQ(Frame()->GetPages().size(), before);
}
