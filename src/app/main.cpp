// Wavecrest: a desktop player for internet radio and TV channels.

#include "app/WavecrestApp.h"
#include "platform/ToolkitStart.h"

#include <cstdio>
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

int main(int argc, char** argv)
{
    platform::BeforeToolkitStart();
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
