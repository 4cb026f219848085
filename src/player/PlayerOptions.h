#pragma once
// The options the playback engine (mpv) starts with: the program's own
// settings, the extra options a person or a test gives in the environment
// variable WAVECREST_PLAYER_OPTIONS ("name=value" pairs separated by ";"; only
// the options of a short list are taken: sound output and device, volume,
// video output and decoding, buffering, network time-out, the engine's log),
// and the safety options that always win, so that the engine never fetches
// scripts or helper programs, never reads configuration files, never opens
// unsafe playlists and never reacts to keys of its own.

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

class CPlayerOptions
{
public:
    using COption = std::pair<std::string, std::string>; // name, value

    // The environment variable that holds the extra options.
    static const char* const kEnvironmentVariable;

    // Splits "name=value;name=value" into options. Blanks around names and
    // values are removed, empty pieces are skipped, a leading "--" of a name
    // is dropped and a name without "=" means "name=yes". A piece whose name
    // is not an option name (letters, digits, "-", "/") is left out and
    // listed in pRejected when given.
    static std::vector<COption> Parse(const std::string& strText,
                                      std::vector<std::string>* pRejected = nullptr);

    // The options that may not be changed from outside, with their values.
    static const std::vector<COption>& SafetyOptions();
    // The program's own starting values (volume 50 and the like).
    static const std::vector<COption>& DefaultOptions();

    // The sound outputs tried in turn when no PipeWire server runs: the
    // PipeWire output is left out, whose library would print complaints
    // about its missing configuration on standard error at every stream.
    static const char* const kOutputsWithoutPipeWire;

    // Everything the engine starts with, in the order it is applied: the
    // defaults (among them kOutputsWithoutPipeWire without a PipeWire
    // server), then those extra options that are on the list of allowed
    // ones, then the safety options. Each extra option left out gets one line
    // in pRefusals when given.
    static std::vector<COption> Build(const std::string& strExtra,
                                      std::ostream* pRefusals = nullptr,
                                      bool bPipeWireServer = true);
    // Build() with the contents of the environment variable and the session's
    // sound server; what is left out is told on standard error.
    static std::vector<COption> FromEnvironment();
};
