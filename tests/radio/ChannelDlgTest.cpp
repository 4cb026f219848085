// The dialog of one of the person's own channels, in the real application.

#include "radio/ChannelDlg.h"
#include "platform/ModalDialogs.h"
#include "playlists/MyChannels.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/textctrl.h>

namespace
{
// Presses OK as a person would.
void PressOk(CChannelDlg& dialog)
{
    wxWindow* button = dialog.FindWindow(wxID_OK);
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

void Type(CChannelDlg& dialog, const char* field, const char* text)
{
    auto* control = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName(field, &dialog));
    ASSERT_NE(control, nullptr) << field;
    control->SetValue(wxString::FromUTF8(text));
}
} // namespace

TEST(ChannelDialog, RefusesAddressesThePlayerWouldRefuseAndKeepsWhatItDoesNotShow)
{
    CModalRecorder modals;
    CChannelRecord channel =
        CMyChannels::MakeChannel("Old", "http://old.example/", true, "News", "http://logo/x.png");
    channel.SetField(CChannelRecord::kStatus, "OFF");
    CChannelDlg dialog(nullptr, "Edit Channel", channel);

    for (const char* refused : {"smb://share/radio.mp3", "/home/me/radio.mp3", "http:///x", ""})
    {
        Type(dialog, "ChannelAddress", refused);
        PressOk(dialog);
        EXPECT_EQ(dialog.GetChannel(), CChannelRecord()) << refused; // nothing taken
    }
    ASSERT_EQ(modals.Requests().size(), 4u);
    EXPECT_NE(modals.Requests()[0].text.Find("smb://share/radio.mp3"), wxNOT_FOUND);
    EXPECT_NE(modals.Requests()[0].text.Find("network streams"), wxNOT_FOUND);

    // A name left empty becomes the address; the type, logo, group and
    // status stay as they were.
    Type(dialog, "ChannelName", "  ");
    Type(dialog, "ChannelAddress", " https://new.example/live ");
    PressOk(dialog);
    EXPECT_EQ(modals.Requests().size(), 4u);
    const CChannelRecord edited = dialog.GetChannel();
    EXPECT_EQ(edited.GetName(), "https://new.example/live");
    EXPECT_EQ(edited.GetUrl(), "https://new.example/live");
    EXPECT_EQ(edited.GetType(), "TV");
    EXPECT_EQ(edited.GetField(CChannelRecord::kField3), "http://logo/x.png");
    EXPECT_EQ(edited.GetField4(), "News");
    EXPECT_EQ(edited.GetStatus(), "OFF");
}
