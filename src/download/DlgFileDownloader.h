#pragma once
// The small modal dialog (dialog 310) shown while a file downloads. The
// transfer begins as soon as the dialog is shown and runs from the dialog's
// own timer on the GUI thread, a short slice at a time, so the dialog keeps
// repainting and Esc or its close button can cancel it at any moment, also
// before the first byte has arrived.

#include "download/FileDownloadManager.h"

#include <wx/dialog.h>
#include <wx/timer.h>

#include <chrono>
#include <future>
#include <memory>

class wxBusyCursor;

class CDlgFileDownloader : public wxDialog
{
public:
    static constexpr const char* kResourceName = "IDD_FILE_DOWNLOADER";
    static constexpr int IDD = 310;
    static constexpr int IDC_STATUS_TEXT = 1001;
    static constexpr int kTransferTimerId = 2;

    explicit CDlgFileDownloader(wxWindow* parent);
    ~CDlgFileDownloader() override;

    // The text of the static control while the dialog runs; set it before
    // DownloadFile.
    void SetStatusText(const wxString& text) { m_strStatusText = text; }
    // The downloader, for its limits and certificate settings.
    CFileDownloadManager& GetDownloadManager() { return m_downloadManager; }

    // Runs the dialog modally while the address downloads, then puts the
    // result in place of the destination file. True when the destination now
    // holds the whole new file; false on any failure or when the user cancelled.
    bool DownloadFile(const wxString& address, const wxString& destination);

    bool TransferDataToWindow() override;

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);

    void StartTransfer();
    void ContinueTransfer();
    void EndTransfer();
    void CancelByUser();
    void ContinuePlacing();

    CFileDownloadManager m_downloadManager;
    wxTimer m_transferTimer;
    std::unique_ptr<wxBusyCursor> m_pBusyCursor;
    // Set once the person has cancelled: a transfer not yet begun never begins.
    bool m_bCancelled = false;
    wxString m_strSourceUrl;
    wxString m_strDownloadedFile; // the temporary file after a successful transfer
    wxString m_strDestination;
    // Putting the new file in place of the old one (a copy of up to 64 MiB and
    // a flush to the disk) runs beside the GUI thread, so that the window
    // keeps answering; the dialog ends once it is done.
    std::future<bool> m_placing;
    wxString m_strStatusText;

    wxDECLARE_EVENT_TABLE();
};
