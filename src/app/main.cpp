// Wavecrest: a desktop player for internet radio and TV channels.

#include "app/CommandLine.h"
#include "app/WavecrestApp.h"
#include "platform/ToolkitStart.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>
#include <wx/debug.h>

#ifdef __SANITIZE_ADDRESS__
// In the AddressSanitizer build: the leak checker at exit misreads the
// thread-local storage of libraries loaded after the start (the web pages'
// module and the web engine under it) with this C library, and crashes
// instead of reporting. Without tracking that storage it can only report
// more, never less. Options from the environment still come on top.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
#endif

namespace
{
// Answers what a terminal asks (--help, --version) without a window; the
// exit status, or nothing when the program is to start.
std::optional<int> AnswerTerminalRequest(const std::vector<std::string>& arguments)
{
    switch (ReadTerminalRequest(arguments))
    {
    case TerminalRequest::Help:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    case TerminalRequest::Version:
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    case TerminalRequest::UnknownOption:
        std::fprintf(stderr, "wavecrest: unknown option %s (wavecrest --help lists them)\n",
                     arguments[0].c_str());
        return 2;
    case TerminalRequest::None:
        break;
    }
    return std::nullopt;
}
} // namespace

int main(int argc, char** argv)
{
    if (const auto status = AnswerTerminalRequest(std::vector<std::string>(argv + 1, argv + argc)))
        return *status;
    platform::BeforeToolkitStart();
    // Without a display the toolkit would fail with its own warnings.
    if (!platform::DisplayCanBeOpened())
    {
        std::fputs("wavecrest: no display to show the window on (DISPLAY is not set, or its X "
                   "server does not answer)\n",
                   stderr);
        return 1;
    }
    // An internal check of the toolkit that fails is reported on standard
    // error; it never stops a person's work with a dialog.
    wxSetAssertHandler(
        [](const wxString& file, int line, const wxString& func, const wxString& cond,
           const wxString& msg)
        {
            std::fprintf(stderr, "wavecrest: check failed at %s:%d in %s: %s %s\n",
                         file.utf8_str().data(), line, func.utf8_str().data(),
                         cond.utf8_str().data(), msg.utf8_str().data());
        });
    wxApp::SetInstance(new CWavecrestApp());
    return wxEntry(argc, argv);
}
