#include "platform/ModalDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>

#include <cstdlib>

TEST(ModalDialogs, AnInstalledAnswererAnswersMessageBoxesAndSeesWhatWasAsked)
{
    CModalRecorder recorder([](const platform::ModalRequest&) { return wxNO; });
    EXPECT_EQ(platform::MessageBox("Really?", "Caption", wxYES_NO | wxICON_QUESTION), wxNO);
    ASSERT_EQ(recorder.Requests().size(), 1u);
    EXPECT_EQ(recorder.Requests()[0].kind, platform::ModalRequest::Kind::MessageBox);
    EXPECT_EQ(recorder.Requests()[0].text, "Really?");
    EXPECT_EQ(recorder.Requests()[0].caption, "Caption");
    EXPECT_TRUE(recorder.Requests()[0].style & wxICON_QUESTION);
}

TEST(ModalDialogs, AnInstalledAnswererAnswersDialogsByName)
{
    CModalRecorder recorder;
    wxDialog dialog(nullptr, wxID_ANY, "Title", wxDefaultPosition, wxDefaultSize,
                    wxDEFAULT_DIALOG_STYLE, "IDD_SOMETHING");
    EXPECT_EQ(platform::RunModal(dialog), wxID_CANCEL);
    ASSERT_EQ(recorder.Requests().size(), 1u);
    EXPECT_EQ(recorder.Requests()[0].text, "IDD_SOMETHING");
    EXPECT_EQ(recorder.Requests()[0].caption, "Title");
}

TEST(ModalDialogs, AnAnswererCanLetADialogRunForReal)
{
    CModalRecorder recorder([](const platform::ModalRequest&) { return std::nullopt; });
    wxDialog dialog(nullptr, wxID_ANY, "Closes itself");
    dialog.CallAfter([&dialog] { dialog.EndModal(wxID_APPLY); });
    EXPECT_EQ(platform::RunModal(dialog), wxID_APPLY);
}

TEST(ModalDialogs, TheLogFileRecordsMessageBoxesAndGivesTheDefaultAnswer)
{
    CTempHome home;
    const std::string log = home.Path() + "/modal.log";
    ::setenv("WAVECREST_MODAL_LOG", log.c_str(), 1);
    EXPECT_EQ(platform::MessageBox("Download failed.\n\nTry again.", "Wavecrest by Tolvane",
                                   wxOK | wxICON_ERROR),
              wxOK);
    EXPECT_EQ(platform::MessageBox("Sure?", "Q", wxYES_NO | wxNO_DEFAULT), wxNO);
    ::unsetenv("WAVECREST_MODAL_LOG");
    EXPECT_EQ(ReadWholeFile(log),
              "[error] Wavecrest by Tolvane\nDownload failed.\n\nTry again.\n\f\n"
              "[information] Q\nSure?\n\f\n");
}
