#pragma once
// Which sound server the desktop session runs, as far as the player needs to
// know before it picks a sound output.

namespace platform
{

// True when a PipeWire server can be reached: $PIPEWIRE_REMOTE names one, or
// its socket ("pipewire-0") is in $XDG_RUNTIME_DIR.
bool IsPipeWireServerPresent();

} // namespace platform
