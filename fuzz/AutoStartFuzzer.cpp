// libFuzzer target: any bytes as the autostart entry file.
//
// Besides not crashing, hanging or leaking under AddressSanitizer and
// UndefinedBehaviorSanitizer:
//  - the state read from the file is on or off (never unavailable: the
//    folder is writable), and off for a file over the size limit;
//  - an Exec value that parses gives at least the program;
//  - the string escapes undo each other, and the Exec value written for a
//    program (taken from the input) parses back to the program and ":silent",
//    also when read back from the written entry.

#include "frame/AutoStart.h"
#include "platform/DesktopEntry.h"

#include "FuzzRequire.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using platform::EscapeDesktopString;
using platform::ParseExecValue;
using platform::ReadDesktopEntryValue;
using platform::UnescapeDesktopString;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string folder = std::string(base) + "/wavecrest-autostart-fuzz-XXXXXX";
    REQUIRE(::mkdtemp(folder.data()));
    ::setenv("HOME", folder.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    REQUIRE(::mkdir((folder + "/config").c_str(), 0700) == 0);
    REQUIRE(::mkdir(AutoStartFolder().c_str(), 0700) == 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::ofstream(AutoStartEntryPath(), std::ios::binary | std::ios::trunc) << text;
    const int state = QueryAutoStart();
    REQUIRE(state == kAutoStartOn || state == kAutoStartOff);
    if (size > kMaxAutoStartEntrySize)
        REQUIRE(state == kAutoStartOff);

    for (const char* key : {"Exec", "Hidden", "X-GNOME-Autostart-enabled", "Name"})
    {
        const auto value = ReadDesktopEntryValue(text, key);
        if (!value)
            continue;
        REQUIRE(value->find('\n') == std::string::npos);
        if (const auto arguments = ParseExecValue(*value))
            REQUIRE(!arguments->empty());
    }

    // The first line as a path and as a string value.
    const std::string line = text.substr(0, text.find('\n'));
    if (const auto escaped = EscapeDesktopString(line))
        REQUIRE(UnescapeDesktopString(*escaped) == line);
    if (const auto exec = AutoStartExecValue(line))
    {
        const auto arguments = ParseExecValue(*exec);
        REQUIRE(arguments && *arguments == (std::vector<std::string>{line, kSilentArgument}));
        const auto entry = AutoStartEntryText(line);
        REQUIRE(entry && ReadDesktopEntryValue(*entry, "Exec") == exec);
    }
    return 0;
}
