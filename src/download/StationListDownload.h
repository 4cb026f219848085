#pragma once
// Fetching a fresh station list: the main frame's refresh (command 310) calls
// DownloadStationList with the station-list file of the data folder.

#include "download/FileDownloadManager.h"

#include <wx/string.h>

#include <chrono>

class wxWindow;

// Where the station list comes from: the environment variable
// WAVECREST_STATION_LIST_URL when it is set and not empty, else the address
// chosen when the program was built.
wxString StationListAddress();

// The text the download dialog shows while it runs.
wxString StationListLoadingText();

// The text of the message box that reports a failed refresh.
wxString StationListFailureMessage();
// Shows that message box (application title as caption, information icon, OK).
void ShowStationListFailure(wxWindow* parent);

// What a refresh may change from the program's defaults (tests shorten the
// limits and point it at their own server).
struct StationListDownloadOptions
{
    wxString strAddress; // empty: StationListAddress()
    DownloadLimits limits;
    wxString strCaFile; // certificate authorities to trust (empty: the system's)
};

// Downloads the station list into destinationPath while the download dialog
// runs modally over the parent. On failure (no connection, an error from the
// server, a cancel by the user, a destination that cannot be written) it
// shows the failure message box itself and leaves the destination as it was.
// True when destinationPath now holds the new list.
bool DownloadStationList(wxWindow* parent, const wxString& destinationPath);
bool DownloadStationList(wxWindow* parent, const wxString& destinationPath,
                         const StationListDownloadOptions& options);
