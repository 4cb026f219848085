#pragma once
// Text from outside in an encoding nobody declared: stream titles from older
// servers and playlist files written on other systems. UTF-8 stays as it is;
// anything else is decoded from the encoding the detector finds for it, or
// from Windows-1252 (a superset of Latin-1) when it finds none that fits.

#include <string>
#include <string_view>

namespace platform
{

// True when the bytes are well-formed UTF-8: no overlong forms, no UTF-16
// surrogates, nothing past U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view bytes);

// The bytes as UTF-8 text (see above). Never fails: every byte sequence
// gives some text, and the result is always valid UTF-8.
std::string DecodeToUtf8(std::string_view bytes);

// The bytes read as Windows-1252; its five unassigned bytes become U+FFFD.
std::string DecodeWindows1252(std::string_view bytes);

} // namespace platform
