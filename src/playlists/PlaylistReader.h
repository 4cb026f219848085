#pragma once
// Readers of the playlist files people keep their stations in: M3U and M3U8
// (extended M3U with #EXTINF titles and the IPTV attributes), PLS and XSPF.
// Each turns the bytes of one file into entries the program can play; an
// entry whose address the player would refuse (a local file, another scheme)
// is left out and counted, and so is every entry after the first
// kMaxPlaylistEntries. No window, no network, no file access.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The largest playlist file read, and the most entries taken from one.
inline constexpr std::size_t kMaxPlaylistBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxPlaylistEntries = 100000;

struct PlaylistEntry
{
    std::string title;   // UTF-8; the address when the file gives no title
    std::string address; // absolute, one the player accepts
    std::string group;   // the file's group or genre of the entry ("" when none)
    bool tv = false;     // the file marks it as a TV channel
};

struct Playlist
{
    std::vector<PlaylistEntry> entries; // in file order
    std::size_t leftOut = 0;            // entries refused or beyond the limit
    std::size_t merged = 0;             // entries with the address of an earlier one
};

enum class PlaylistFormat
{
    Unknown,
    M3U,
    PLS,
    XSPF,
};

// Tells the format from the content; the name (a path or an address) decides
// only when the content does not (an M3U without its #EXTM3U line).
PlaylistFormat DetectPlaylistFormat(std::string_view bytes, std::string_view name);

// The readers. `location` is where the file came from (a path or an
// address); relative entries are resolved against it. Bytes may start with a
// byte order mark (UTF-8 or UTF-16), lines may end in CR LF, LF or CR, and
// text that is not UTF-8 is decoded from the encoding it is found to be in
// (Windows-1252 when none is found).
Playlist ReadM3U(std::string_view bytes, const std::string& location);
Playlist ReadPLS(std::string_view bytes, const std::string& location);
Playlist ReadXSPF(std::string_view bytes, const std::string& location);
// Detects the format and reads with its reader; nothing (no entries, none
// left out) for a file of no known format. An entry with the address of an
// earlier one is merged into it: it is left out and counted as merged.
Playlist ReadPlaylist(std::string_view bytes, const std::string& location);

// An entry's address made absolute against the file's location: an address
// with a scheme stays as it is; one starting with "//" takes the location's
// scheme; one starting with "/" its scheme and host (or stays a path for a
// local file); any other one is taken relative to the location's folder.
std::string ResolvePlaylistAddress(const std::string& entry, const std::string& location);

// The text as UTF-8: a byte order mark removed, UTF-16 converted, and text
// that is not valid UTF-8 decoded from the encoding the detector finds for it
// (Windows-1252 when it finds none).
std::string PlaylistTextToUtf8(std::string_view bytes);
