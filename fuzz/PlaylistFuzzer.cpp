// libFuzzer target: any bytes as a playlist file, read by one of the three
// readers (chosen when the target is built: WAVECREST_PLAYLIST_FORMAT 1 for
// M3U, 2 for PLS, 3 for XSPF), once as a local file and once as a download.
//
// Besides not crashing, hanging or leaking under AddressSanitizer and
// UndefinedBehaviorSanitizer:
//  - at most kMaxPlaylistEntries entries come back;
//  - every entry's address is one the player accepts, with no blank at
//    either end;
//  - every title is valid UTF-8, not empty, on one line;
//  - the text conversion always gives valid UTF-8 without NUL.

#include "core/StreamAddress.h"
#include "playlists/PlaylistReader.h"

#include "FuzzRequire.h"

#include <glib.h>

#include <cstdint>
#include <string>

namespace
{
bool IsValidUtf8(const std::string& text)
{
    return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
}

Playlist Read(std::string_view bytes, const std::string& location)
{
#if WAVECREST_PLAYLIST_FORMAT == 1
    return ReadM3U(bytes, location);
#elif WAVECREST_PLAYLIST_FORMAT == 2
    return ReadPLS(bytes, location);
#else
    return ReadXSPF(bytes, location);
#endif
}

void Check(const Playlist& list)
{
    REQUIRE(list.entries.size() <= kMaxPlaylistEntries);
    for (const PlaylistEntry& entry : list.entries)
    {
        REQUIRE(IsNetworkStreamAddress(entry.address));
        REQUIRE(entry.address.front() != ' ' && entry.address.back() != ' ');
        REQUIRE(!entry.title.empty() && IsValidUtf8(entry.title));
        REQUIRE(IsValidUtf8(entry.group));
        for (const char c : entry.title + entry.group)
            REQUIRE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = PlaylistTextToUtf8(bytes);
    REQUIRE(text.find('\0') == std::string::npos && IsValidUtf8(text));
    Check(Read(bytes, "/home/someone/lists/list"));
    Check(Read(bytes, "https://lists.example:8080/a/b/list?x=1#y"));
    return 0;
}
