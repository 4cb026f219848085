#pragma once
// What the rest of the program asks the radio page to play: the channels of
// a playlist, which join My channels and the first of which plays as its
// row, or a station found elsewhere (the station directory), which plays as
// the chosen channel without joining any list. The main frame keeps requests
// until the radio page takes them, so a request made while another page
// shows (or before the radio page has been made) is not lost.

#include "catalogue/ChannelRecord.h"

#include <wx/event.h>
#include <wx/string.h>

#include <vector>

struct PlayRequest
{
    // Channels to add to My channels; the first plays.
    std::vector<CChannelRecord> channels;
    // Without channels: the station to play as it is.
    wxString stationName;
    wxString stationAddress;
};

// Sent to the page shown when a request comes: the radio page takes it.
wxDECLARE_EVENT(EVT_PLAY_REQUEST_WAITING, wxCommandEvent);
