// The refresh as the program runs it: the download dialog really runs
// modally (the modal answerer lets it), against a real server on loopback.

#include "DownloadTestServer.h"

#include "download/DlgFileDownloader.h"
#include "download/StationListDownload.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>

using namespace std::chrono_literals;

namespace
{
using Clock = std::chrono::steady_clock;

CDlgFileDownloader* FindDownloadDialog()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<CDlgFileDownloader*>(window))
            return dialog;
    return nullptr;
}

// Watches the download dialog from inside its modal loop and acts on it: the
// action is tried every few milliseconds while the dialog runs, until it
// reports that it is done. A dialog still running long after that is ended
// (and the probe says so), so a broken cancel fails the test, never hangs it.
class CDialogProbe : public wxTimer
{
public:
    using Action = std::function<bool(CDlgFileDownloader&)>;

    explicit CDialogProbe(Action action) : m_action(std::move(action)) { Start(10); }

    bool Acted() const { return m_bActed; }
    bool HadToEndTheDialog() const { return m_bEndedByProbe; }

    void Notify() override
    {
        CDlgFileDownloader* dialog = FindDownloadDialog();
        if (!dialog || !dialog->IsModal())
            return;
        if (!m_bActed)
            m_bActed = m_action(*dialog);
        if (Clock::now() - m_started > kSafetyNet)
        {
            m_bEndedByProbe = true;
            dialog->EndModal(wxID_ABORT);
        }
    }

private:
    static constexpr std::chrono::seconds kSafetyNet{30};
    Action m_action;
    Clock::time_point m_started = Clock::now();
    bool m_bActed = false;
    bool m_bEndedByProbe = false;
};

// Presses Esc on the keyboard with the pointer over the dialog, as a person would.
void PressEscapeOn(wxWindow& dialog)
{
    dialog.Raise();
    wxUIActionSimulator keyboard;
    keyboard.MouseMove(dialog.GetScreenRect().GetPosition() + wxPoint(20, 20));
    keyboard.Char(WXK_ESCAPE);
}

// Lets the download dialog run for real and answers message boxes with OK.
std::optional<int> RunDialogsForReal(const platform::ModalRequest& request)
{
    if (request.kind == platform::ModalRequest::Kind::Dialog)
        return std::nullopt;
    return wxOK;
}

std::vector<platform::ModalRequest> MessageBoxes(const CModalRecorder& recorder)
{
    std::vector<platform::ModalRequest> boxes;
    for (const auto& request : recorder.Requests())
        if (request.kind == platform::ModalRequest::Kind::MessageBox)
            boxes.push_back(request);
    return boxes;
}

class StationListRefresh : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFolders = std::make_unique<CDownloadFolders>(m_home.Path(), "world.zip", "Wavecrest");
        m_pServer = std::make_unique<CDownloadTestServer>(ServedFolder());
        m_options.strAddress = m_pServer->Address("/files/world.zip");
        m_options.limits.connectTimeout = 5s;
        m_options.limits.stallTimeout = 500ms;
        m_options.limits.totalTimeout = 2s;
    }

    void TearDown() override
    {
        m_pServer.reset();
        m_pFolders.reset();
    }

    std::string TempFolder() const { return m_pFolders->Temp(); }
    std::string ServedFolder() const { return m_pFolders->Served(); }
    std::string DataFolder() const { return m_pFolders->DestinationFolder(); }
    std::string Destination() const { return m_pFolders->Destination(); }

    bool Refresh() { return DownloadStationList(nullptr, Destination(), m_options); }
    bool Refresh(const std::string& path)
    {
        m_options.strAddress = m_pServer->Address(path);
        return Refresh();
    }

    // True while the transfer is under way: the server has the request and
    // the temporary file exists.
    bool TransferRunning() const
    {
        return m_pServer->RequestCount() > 0 && !FilesIn(TempFolder(), "WCF").empty();
    }

    void ExpectNoTemporaryFile() const
    {
        EXPECT_TRUE(FilesIn(TempFolder(), "WCF").empty());
        EXPECT_EQ(FilesIn(DataFolder()), std::vector<std::string>{"StationList.zip"});
    }

    void ExpectFailureShownAndOldListKept(const CModalRecorder& recorder) const
    {
        const auto boxes = MessageBoxes(recorder);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, StationListFailureMessage());
        EXPECT_EQ(boxes[0].caption, "Wavecrest by Tolvane");
        EXPECT_EQ(boxes[0].style, wxOK | wxICON_INFORMATION);
        EXPECT_EQ(ReadWholeFile(Destination()), kOldList);
        ExpectNoTemporaryFile();
    }

    static constexpr const char* kOldList = CDownloadFolders::kOldList;
    CTempHome m_home;
    std::unique_ptr<CDownloadFolders> m_pFolders;
    std::unique_ptr<CDownloadTestServer> m_pServer;
    StationListDownloadOptions m_options;
};

struct FailingServer
{
    const char* name;
    const char* path; // nullptr: a port where nothing listens
};

class StationListRefreshFailure : public StationListRefresh,
                                  public ::testing::WithParamInterface<FailingServer>
{
};
} // namespace

TEST_F(StationListRefresh, StoresTheNewListAndLeavesNoTemporaryFile)
{
    CModalRecorder recorder(RunDialogsForReal);
    EXPECT_TRUE(Refresh());
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
    EXPECT_TRUE(MessageBoxes(recorder).empty());
    EXPECT_EQ(m_pServer->RequestCount("/files/world.zip"), 1);
    ExpectNoTemporaryFile();
}

// The download is what the start waits for: it begins as soon as the dialog
// shows, with no pause of its own (the request reaches the server well
// within the second that a dialog waiting before its transfer would lose).
TEST_F(StationListRefresh, TheTransferBeginsAsSoonAsTheDialogShows)
{
    CModalRecorder recorder(RunDialogsForReal);
    std::optional<Clock::time_point> shown;
    std::optional<std::chrono::milliseconds> requestedAfter;
    CDialogProbe probe(
        [&](CDlgFileDownloader& dialog)
        {
            if (!shown && dialog.IsShownOnScreen())
                shown = Clock::now();
            if (!shown || m_pServer->RequestCount() == 0)
                return false;
            requestedAfter =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *shown);
            dialog.Close();
            return true;
        });
    EXPECT_FALSE(Refresh("/silent"));
    ASSERT_TRUE(requestedAfter.has_value());
    EXPECT_LT(requestedAfter->count(), 700);
}

TEST_F(StationListRefresh, TheDialogShowsTheLoadingTextUnderTheApplicationTitleWithoutButtons)
{
    CModalRecorder recorder(RunDialogsForReal);
    wxString title, text;
    int buttons = -1;
    CDialogProbe probe(
        [&](CDlgFileDownloader& dialog)
        {
            title = dialog.GetTitle();
            if (auto* status = dynamic_cast<wxStaticText*>(dialog.FindWindow(1001)))
                text = status->GetLabel();
            buttons = 0;
            for (wxWindow* child : dialog.GetChildren())
                buttons += dynamic_cast<wxButton*>(child) ? 1 : 0;
            return true;
        });
    EXPECT_TRUE(Refresh());
    EXPECT_TRUE(probe.Acted());
    ASSERT_FALSE(recorder.Requests().empty());
    EXPECT_EQ(recorder.Requests()[0].kind, platform::ModalRequest::Kind::Dialog);
    EXPECT_EQ(recorder.Requests()[0].text, CDlgFileDownloader::kResourceName);
    EXPECT_EQ(title, "Wavecrest by Tolvane");
    EXPECT_EQ(text, "Loading Channels List Now...");
    EXPECT_EQ(buttons, 0);
}

TEST_P(StationListRefreshFailure, ShowsTheFailureMessageAndKeepsTheOldList)
{
    CModalRecorder recorder(RunDialogsForReal);
    CDialogProbe watchdog([](CDlgFileDownloader&) { return true; });
    m_options.limits.nMaxBodyBytes = 1000000;
    if (GetParam().path)
        m_options.strAddress = m_pServer->Address(GetParam().path);
    else
        m_pServer->Stop();
    EXPECT_FALSE(Refresh());
    EXPECT_FALSE(watchdog.HadToEndTheDialog());
    ExpectFailureShownAndOldListKept(recorder);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, StationListRefreshFailure,
    ::testing::Values(FailingServer{"NotFound", "/status/404"},
                      FailingServer{"ServerError", "/status/500"},
                      FailingServer{"ConnectionRefused", nullptr},
                      FailingServer{"StalledMidBody", "/stall/1000"},
                      FailingServer{"NeverAnswers", "/silent"},
                      FailingServer{"AnnouncedBodyOverTheLimit", "/size/1000001"},
                      FailingServer{"EndlessBody", "/endless"},
                      // A byte every 200 ms never stalls, but takes too long in all.
                      FailingServer{"TrickleBeyondTheOverallLimit", "/drip/100?interval=200"},
                      FailingServer{"RedirectToNotFound", "/redirect/302?to=/status/404"}),
    [](const ::testing::TestParamInfo<FailingServer>& info) { return info.param.name; });

TEST_F(StationListRefresh, ARedirectedListIsStored)
{
    CModalRecorder recorder(RunDialogsForReal);
    EXPECT_TRUE(Refresh("/redirect/301?to=/files/world.zip"));
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
    EXPECT_TRUE(MessageBoxes(recorder).empty());
    ExpectNoTemporaryFile();
}

TEST_F(StationListRefresh, TwoRefreshesMakeTwoRequests)
{
    CModalRecorder recorder(RunDialogsForReal);
    EXPECT_TRUE(Refresh());
    EXPECT_TRUE(Refresh());
    EXPECT_EQ(m_pServer->RequestCount("/files/world.zip"), 2);
}

// A server that takes the request and sends nothing: Esc cancels before
// the first byte, at once, not when the download would give up by itself.
TEST_F(StationListRefresh, EscapeBeforeTheFirstByteCancelsAndShowsTheFailureMessage)
{
    CModalRecorder recorder(RunDialogsForReal);
    m_options.limits.stallTimeout = 60s;
    m_options.limits.totalTimeout = 60s;
    wxString text;
    CDialogProbe probe(
        [&](CDlgFileDownloader& dialog)
        {
            if (!dialog.IsShownOnScreen() || m_pServer->RequestCount() == 0)
                return false;
            if (auto* status = dynamic_cast<wxStaticText*>(dialog.FindWindow(1001)))
                text = status->GetLabel();
            PressEscapeOn(dialog);
            return true;
        });
    EXPECT_FALSE(Refresh("/silent"));
    EXPECT_TRUE(probe.Acted());
    EXPECT_FALSE(probe.HadToEndTheDialog());
    EXPECT_EQ(text, "Loading Channels List Now...");
    EXPECT_EQ(m_pServer->RequestCount("/silent"), 1);
    ExpectFailureShownAndOldListKept(recorder);
}

TEST_F(StationListRefresh, EscapeDuringTheTransferCancelsIt)
{
    CModalRecorder recorder(RunDialogsForReal);
    // A body that comes a byte at a time for half a minute, so the transfer
    // is surely still running when the key arrives.
    CDialogProbe probe(
        [this](CDlgFileDownloader& dialog)
        {
            if (!TransferRunning())
                return false;
            PressEscapeOn(dialog);
            return true;
        });
    EXPECT_FALSE(Refresh("/drip/1500?interval=20"));
    EXPECT_TRUE(probe.Acted());
    EXPECT_FALSE(probe.HadToEndTheDialog());
    ExpectFailureShownAndOldListKept(recorder);
}

TEST_F(StationListRefresh, TheCloseButtonCancelsTheTransfer)
{
    CModalRecorder recorder(RunDialogsForReal);
    CDialogProbe probe(
        [this](CDlgFileDownloader& dialog)
        {
            if (!TransferRunning())
                return false;
            dialog.Close(); // what the window manager's close button asks for
            return true;
        });
    EXPECT_FALSE(Refresh("/drip/1500?interval=20"));
    EXPECT_TRUE(probe.Acted());
    EXPECT_FALSE(probe.HadToEndTheDialog());
    ExpectFailureShownAndOldListKept(recorder);
}

TEST_F(StationListRefresh, TheDialogRepaintsWhileTheTransferRuns)
{
    CModalRecorder recorder(RunDialogsForReal);
    int paints = 0;
    bool asked = false;
    CDialogProbe probe(
        [&](CDlgFileDownloader& dialog)
        {
            if (!TransferRunning())
                return false;
            if (!asked)
            {
                dialog.Bind(wxEVT_PAINT,
                            [&paints](wxPaintEvent& event)
                            {
                                ++paints;
                                event.Skip();
                            });
                dialog.Refresh();
                asked = true;
                return false;
            }
            if (paints == 0)
                return false;
            dialog.Close();
            return true;
        });
    EXPECT_FALSE(Refresh("/drip/1500?interval=20"));
    EXPECT_TRUE(probe.Acted());
    EXPECT_FALSE(probe.HadToEndTheDialog());
    EXPECT_GT(paints, 0);
}

TEST_F(StationListRefresh, ADestinationThatCannotBeWrittenShowsTheFailureMessage)
{
    CModalRecorder recorder(RunDialogsForReal);
    EXPECT_FALSE(
        DownloadStationList(nullptr, m_home.Path() + "/missing/StationList.zip", m_options));
    EXPECT_EQ(MessageBoxes(recorder).size(), 1u);
    EXPECT_EQ(m_pServer->RequestCount(), 1);
    ExpectNoTemporaryFile();
}

TEST_F(StationListRefresh, ADialogEndedWithoutRunningDownloadsNothing)
{
    for (int answer : {wxID_CANCEL, wxID_OK})
    {
        CModalRecorder recorder(
            [answer](const platform::ModalRequest& request) -> std::optional<int>
            { return request.kind == platform::ModalRequest::Kind::Dialog ? answer : wxOK; });
        EXPECT_FALSE(Refresh());
        ExpectFailureShownAndOldListKept(recorder);
    }
    EXPECT_EQ(m_pServer->RequestCount(), 0);
}
