#pragma once
// Which addresses may be handed to the player: only network streams. A local
// file, an empty address or one of the player's own special protocols is
// never opened, whatever a station list says.

#include <string>

// True for http, https, mms, mmsh, rtsp, rtmp and rtmps addresses (the scheme
// compared without regard to case) that name a host.
bool IsNetworkStreamAddress(const std::string& address);

// The scheme of an address in lower case ("" when it has none).
std::string AddressScheme(const std::string& address);
