#include "platform/Termination.h"

#include <glib-unix.h>

#include <csignal>
#include <utility>

namespace platform
{

namespace
{
std::function<void()>& Handler()
{
    static std::function<void()> handler;
    return handler;
}

gboolean OnSignal(gpointer /*data*/)
{
    if (Handler())
        Handler()();
    return G_SOURCE_CONTINUE;
}
} // namespace

void OnTerminationRequest(std::function<void()> handler)
{
    static bool installed = false;
    Handler() = std::move(handler);
    if (installed)
        return;
    installed = true;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        g_unix_signal_add(signal, &OnSignal, nullptr);
}

} // namespace platform
