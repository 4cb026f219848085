#include "app/AboutDlg.h"

#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

namespace
{
TEST(AboutBox, ShowsEachTextWholeOnOneLineInsideTheBox)
{
    CAboutDlg dialog(nullptr);
    dialog.Show();
    PumpEvents();
    const wxRect inside(wxPoint(0, 0), dialog.GetClientSize());
    for (const char* name : {"IDC_VERSION", "IDC_CONTACT"})
    {
        auto* text = XRCCTRL(dialog, name, wxStaticText);
        ASSERT_NE(text, nullptr) << name;
        const wxSize line = text->GetTextExtent(text->GetLabel());
        EXPECT_GE(text->GetSize().x, line.x) << name;
        EXPECT_LT(text->GetSize().y, 2 * line.y) << name << " wraps";
        EXPECT_TRUE(inside.Contains(text->GetRect())) << name;
    }
    EXPECT_EQ(XRCCTRL(dialog, "IDC_CONTACT", wxStaticText)->GetLabel(),
              "Contact Us : support@tolvane.example");
    EXPECT_TRUE(inside.Contains(dialog.FindWindow(wxID_OK)->GetRect()));
    dialog.Hide();
}
} // namespace
