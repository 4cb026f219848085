#include "download/DlgFileDownloader.h"

#include "core/Identifiers.h"
#include "platform/ModalDialogs.h"
#include "res/Resources.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

namespace
{
// How often the transfer gets its turn, and how long each turn may last. A
// turn must be shorter than the interval: the rest of the time belongs to
// painting and to the keyboard, and a timer that is always due again would
// keep anything that yields until no event is pending (wxYield) from ever
// returning.
constexpr int kTransferIntervalMs = 20;
constexpr std::chrono::milliseconds kTransferSlice{10};
} // namespace

CDlgFileDownloader::CDlgFileDownloader(wxWindow* parent) : m_transferTimer(this, kTransferTimerId)
{
    res::LoadXrcResources();
    wxXmlResource::Get()->LoadDialog(this, parent, kResourceName);
}

CDlgFileDownloader::~CDlgFileDownloader() = default;

bool CDlgFileDownloader::DownloadFile(const wxString& address, const wxString& destination)
{
    m_strSourceUrl = address;
    m_strDestination = destination;
    m_strDownloadedFile.clear();
    if (!GetHandle()) // the dialog could not be built
        return false;
    const int result = platform::RunModal(*this);
    // A dialog ended from outside (the program is leaving) may still be
    // putting the file in place: that finishes before anything else.
    const bool placed = m_placing.valid() && m_placing.get();
    if (result != wxID_OK || m_strDownloadedFile.empty() || !placed)
    {
        m_downloadManager.Cancel();
        return false;
    }
    m_strDownloadedFile.clear();
    return true;
}

bool CDlgFileDownloader::TransferDataToWindow()
{
    if (auto* status = dynamic_cast<wxStaticText*>(FindWindow(IDC_STATUS_TEXT)))
    {
        status->SetLabel(m_strStatusText);
        // Room for the whole text, never less than the dialog's own size.
        if (GetSizer())
            GetSizer()->SetSizeHints(this);
        Centre();
    }
    return wxDialog::TransferDataToWindow();
}

void CDlgFileDownloader::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip(); // the base puts the status text into its control
    SetIcons(res::AppIconBundle());
    SetTitle(wc::kAppTitle);
    // The dialog is about to be shown; the transfer begins from its modal
    // loop, as soon as it runs.
    CallAfter(&CDlgFileDownloader::StartTransfer);
}

void CDlgFileDownloader::OnTimer(wxTimerEvent& /*event*/)
{
    ContinueTransfer();
}

void CDlgFileDownloader::StartTransfer()
{
    if (m_bCancelled || !IsModal())
        return;
    m_pBusyCursor = std::make_unique<wxBusyCursor>();
    m_downloadManager.SetSourceUrl(m_strSourceUrl);
    if (!m_downloadManager.Start())
        return EndTransfer();
    m_transferTimer.Start(kTransferIntervalMs);
    // The request goes out now, not only at the timer's first turn.
    ContinueTransfer();
}

void CDlgFileDownloader::ContinueTransfer()
{
    if (m_placing.valid())
        ContinuePlacing();
    else if (m_downloadManager.Step(kTransferSlice) != CFileDownloadManager::State::Running)
        EndTransfer();
}

void CDlgFileDownloader::EndTransfer()
{
    const bool ok = m_downloadManager.GetState() == CFileDownloadManager::State::Succeeded;
    if (ok)
    {
        // The download manager belongs to the worker until it is done; the
        // timer only looks whether it is.
        m_strDownloadedFile = m_downloadManager.GetLocalFile();
        m_placing = std::async(std::launch::async,
                               [this] { return m_downloadManager.ReplaceFile(m_strDestination); });
        if (!m_transferTimer.IsRunning())
            m_transferTimer.Start(kTransferIntervalMs);
        return;
    }
    m_transferTimer.Stop();
    m_pBusyCursor.reset();
    if (IsModal())
        EndModal(wxID_CANCEL);
}

void CDlgFileDownloader::ContinuePlacing()
{
    if (m_placing.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    m_transferTimer.Stop();
    m_pBusyCursor.reset();
    if (IsModal())
        EndModal(wxID_OK);
}

void CDlgFileDownloader::CancelByUser()
{
    // The download is over and its file is being put in place: a moment more.
    if (m_placing.valid())
        return;
    m_bCancelled = true;
    m_transferTimer.Stop();
    m_downloadManager.Cancel();
    m_pBusyCursor.reset();
    if (IsModal())
        EndModal(wxID_CANCEL);
}

void CDlgFileDownloader::OnCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_ESCAPE)
        CancelByUser();
    else
        event.Skip();
}

void CDlgFileDownloader::OnCloseWindow(wxCloseEvent&)
{
    CancelByUser();
}

// The event table stays last: clang-format cannot lay it out.
// clang-format off
wxBEGIN_EVENT_TABLE(CDlgFileDownloader, wxDialog)
    EVT_INIT_DIALOG(CDlgFileDownloader::OnInitDialog)
    EVT_TIMER(CDlgFileDownloader::kTransferTimerId, CDlgFileDownloader::OnTimer)
    EVT_CHAR_HOOK(CDlgFileDownloader::OnCharHook)
    EVT_CLOSE(CDlgFileDownloader::OnCloseWindow)
wxEND_EVENT_TABLE()
