#pragma once
// wavecrest-stations: the station-list maintainers' tool. It reads a
// station-list file with the program's own reader and parser, and never
// changes or deletes the file.
//
//   wavecrest-stations dump FILE   the header, then every channel (no display
//                                  filters), one record a line, the seven fields
//                                  separated by TABs; TAB, newline and backslash
//                                  inside a field written as \t, \n and \\.
//   wavecrest-stations check FILE  one "line N: ..." line per problem; exit 1
//                                  when there is any, else no output and exit 0.
//
// A file that cannot be read: one line on stderr, exit 2 (also for a wrong
// command line).

#include <cstdio>
#include <string>
#include <string_view>

int RunStationsTool(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// A field as dump writes it.
std::string EscapeField(std::string_view field);
