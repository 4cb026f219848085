#pragma once
// What the rest of the program asks the playback session to play: the
// channels of a playlist, which join My channels and the first of which plays
// as its row, or a station found elsewhere (the station directory), which
// plays as the chosen channel without joining any list.

#include "catalogue/ChannelRecord.h"

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
