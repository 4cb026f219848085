#include "player/PlayerOptions.h"

#include "platform/SoundServer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>

const char* const CPlayerOptions::kEnvironmentVariable = "WAVECREST_PLAYER_OPTIONS";
// The engine's own order of outputs, without PipeWire.
const char* const CPlayerOptions::kOutputsWithoutPipeWire = "pulse,alsa,jack,sdl";

namespace
{

std::string Trimmed(const std::string& strText)
{
    const auto nFirst = strText.find_first_not_of(" \t\r\n");
    if (nFirst == std::string::npos)
        return std::string();
    const auto nLast = strText.find_last_not_of(" \t\r\n");
    return strText.substr(nFirst, nLast - nFirst + 1);
}

bool IsOptionName(const std::string& strName)
{
    return !strName.empty() && std::isalpha(static_cast<unsigned char>(strName[0])) &&
           std::all_of(strName.begin(), strName.end(),
                       [](unsigned char c) {
                           return (c >= 'a' && c <= 'z') || std::isdigit(c) || c == '-' || c == '/';
                       });
}

// The extra options a person or a test may give: where the sound goes and how
// loud, how the picture is drawn and decoded, how much is buffered and how
// long the network may take, and the engine's own log. Everything else is
// refused: among it the options that load scripts or configuration, open a
// control socket, pass options on to the demuxer or stream layer, or take
// away the program's own settings.
const char* const kAllowed[] = {
    // Sound
    "ao", "audio-device", "ao-pcm-file", "ao-pcm-waveheader", "ao-pcm-append", "audio-buffer",
    "audio-channels", "audio-samplerate", "audio-format", "audio-exclusive", "volume", "mute",
    "pulse-buffer", "pipewire-buffer",
    // Picture
    "hwdec", "hwdec-codecs",
    // Buffering and network
    "cache", "cache-secs", "cache-pause", "cache-pause-initial", "cache-pause-wait",
    "demuxer-readahead-secs", "demuxer-max-bytes", "demuxer-max-back-bytes", "network-timeout",
    "http-proxy", "user-agent",
    // The engine's log
    "log-file", "msg-level"};

bool IsAllowed(const std::string& strName)
{
    return std::find(std::begin(kAllowed), std::end(kAllowed), strName) != std::end(kAllowed);
}

} // namespace

std::vector<CPlayerOptions::COption> CPlayerOptions::Parse(const std::string& strText,
                                                           std::vector<std::string>* pRejected)
{
    std::vector<COption> options;
    std::size_t nStart = 0;
    while (nStart <= strText.size())
    {
        const std::size_t nEnd = std::min(strText.find(';', nStart), strText.size());
        const std::string strPiece = Trimmed(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
        if (strPiece.empty())
            continue;
        const std::size_t nEquals = strPiece.find('=');
        std::string strName = Trimmed(strPiece.substr(0, nEquals));
        if (strName.compare(0, 2, "--") == 0)
            strName.erase(0, 2);
        const std::string strValue = nEquals == std::string::npos
                                         ? std::string("yes")
                                         : Trimmed(strPiece.substr(nEquals + 1));
        if (IsOptionName(strName))
            options.emplace_back(strName, strValue);
        else if (pRejected)
            pRejected->push_back(strPiece);
    }
    return options;
}

const std::vector<CPlayerOptions::COption>& CPlayerOptions::SafetyOptions()
{
    static const std::vector<COption> kSafety = {
        {"ytdl", "no"},
        {"load-unsafe-playlists", "no"},
        {"config", "no"},
        {"terminal", "no"},
        {"input-default-bindings", "no"},
        {"load-scripts", "no"},
        // The picture goes only to the program, which draws it in its own
        // widget: the engine never opens a window, nor draws into one.
        {"vo", "libmpv"},
    };
    return kSafety;
}

const std::vector<CPlayerOptions::COption>& CPlayerOptions::DefaultOptions()
{
    static const std::vector<COption> kDefaults = {
        {"idle", "yes"},       // stay ready between streams
        {"volume", "50"},      // the volume slider starts in the middle
        {"volume-max", "100"}, // so the slider's 0..100 is the whole range
        {"mute", "no"},
        {"osc", "no"},                // the control has its own buttons
        {"load-stats-overlay", "no"}, // nor does it need the engine's other
        {"load-osd-console", "no"},   // built-in scripts
        {"load-auto-profiles", "no"},
        {"input-vo-keyboard", "no"}, // keys on the video go to the program
        {"input-cursor", "no"},
        {"audio-client-name", "Wavecrest"},
        // Half a second of sound held by the sound server (PulseAudio or
        // PipeWire): it asks the engine for more a few times a second instead
        // of dozens, which keeps the processor asleep while a station plays;
        // a volume change is heard at most that much later.
        {"pulse-buffer", "500"},
        {"pipewire-buffer", "500"},
        // A live stream that sends nothing for this long has stalled: the
        // network read gives up, the stream ends, and the player opens it
        // again (see CReconnectPolicy::kStallLimit).
        {"network-timeout", "10"},
    };
    return kDefaults;
}

std::vector<CPlayerOptions::COption>
CPlayerOptions::Build(const std::string& strExtra, std::ostream* pRefusals, bool bPipeWireServer)
{
    std::vector<COption> options = DefaultOptions();
    if (!bPipeWireServer)
        options.emplace_back("ao", kOutputsWithoutPipeWire);
    std::vector<std::string> unreadable;
    for (const auto& option : Parse(strExtra, &unreadable))
    {
        if (IsAllowed(option.first))
            options.push_back(option);
        else if (pRefusals)
            *pRefusals << "Wavecrest: player option \"" << option.first << "\" is not allowed in "
                       << kEnvironmentVariable << "; ignored\n";
    }
    if (pRefusals)
    {
        for (const auto& strPiece : unreadable)
            *pRefusals << "Wavecrest: \"" << strPiece << "\" in " << kEnvironmentVariable
                       << " names no player option; ignored\n";
    }
    const auto& safety = SafetyOptions();
    options.insert(options.end(), safety.begin(), safety.end());
    return options;
}

std::vector<CPlayerOptions::COption> CPlayerOptions::FromEnvironment()
{
    const char* pszExtra = std::getenv(kEnvironmentVariable);
    return Build(pszExtra ? pszExtra : "", &std::cerr, platform::IsPipeWireServerPresent());
}
