#include "download/StationListDownload.h"

#include "core/Identifiers.h"
#include "download/DlgFileDownloader.h"
#include "platform/ModalDialogs.h"

#include <wx/msgdlg.h>

#include <cstdlib>

wxString StationListAddress()
{
    const char* fromEnvironment = std::getenv("WAVECREST_STATION_LIST_URL");
    if (fromEnvironment && *fromEnvironment)
        return wxString::FromUTF8(fromEnvironment);
    return wxString::FromUTF8(WAVECREST_DEFAULT_STATION_LIST_URL);
}

wxString StationListLoadingText()
{
    return "Loading Channels List Now...";
}

wxString StationListFailureMessage()
{
    return wxString("Failed to Update Load Channels List.\n\n"
                    "Please make sure you Computer is connected to Internet.\n\n"
                    "If the problem persists, please write to us at ") +
           wc::kSupportEmail + ".";
}

void ShowStationListFailure(wxWindow* parent)
{
    platform::MessageBox(StationListFailureMessage(), wc::kAppTitle, wxOK | wxICON_INFORMATION,
                         parent);
}

bool DownloadStationList(wxWindow* parent, const wxString& destinationPath)
{
    return DownloadStationList(parent, destinationPath, StationListDownloadOptions());
}

bool DownloadStationList(wxWindow* parent, const wxString& destinationPath,
                         const StationListDownloadOptions& options)
{
    bool ok = false;
    {
        CDlgFileDownloader dialog(parent);
        dialog.SetStatusText(StationListLoadingText());
        dialog.GetDownloadManager().SetLimits(options.limits);
        dialog.GetDownloadManager().SetCertificateAuthorities(options.strCaFile);
        const wxString address =
            options.strAddress.empty() ? StationListAddress() : options.strAddress;
        ok = dialog.DownloadFile(address, destinationPath);
    }
    // The dialog is gone before the message box appears.
    if (!ok)
        ShowStationListFailure(parent);
    return ok;
}
