#pragma once
// A request to end the program from outside (the session ending, `kill`):
// SIGTERM, SIGINT and SIGHUP are turned into a call on the GUI thread, so the
// program can close the way its own Exit does and lose nothing.

#include <functional>

namespace platform
{

// Installs the handler; it runs from the main loop, never inside a signal handler.
void OnTerminationRequest(std::function<void()> handler);

} // namespace platform
