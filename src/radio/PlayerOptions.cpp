#include "radio/PlayerOptions.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

const char* const CPlayerOptions::kEnvironmentVariable = "WAVECREST_PLAYER_OPTIONS";

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

// Options that only the program decides: the safety options, the window the
// video is drawn in, and the ways of loading configuration or scripts.
bool IsReserved(const std::string& strName)
{
    static const char* const kOthers[] = {"wid", "include", "script", "scripts", "input-conf"};
    const auto& safety = CPlayerOptions::SafetyOptions();
    return std::any_of(safety.begin(), safety.end(),
                       [&](const CPlayerOptions::COption& option)
                       { return option.first == strName; }) ||
           std::find(std::begin(kOthers), std::end(kOthers), strName) != std::end(kOthers);
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
        {"ytdl", "no"},     {"load-unsafe-playlists", "no"},  {"config", "no"},
        {"terminal", "no"}, {"input-default-bindings", "no"}, {"load-scripts", "no"},
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
        // Video outputs that draw into the control's window; without a
        // usable one the picture stays away rather than opening a window
        // of its own.
        {"vo", "gpu,xv,x11"},
        {"audio-client-name", "Wavecrest"},
    };
    return kDefaults;
}

std::vector<CPlayerOptions::COption> CPlayerOptions::Build(const std::string& strExtra)
{
    std::vector<COption> options = DefaultOptions();
    for (const auto& option : Parse(strExtra))
    {
        if (!IsReserved(option.first))
            options.push_back(option);
    }
    const auto& safety = SafetyOptions();
    options.insert(options.end(), safety.begin(), safety.end());
    return options;
}

std::vector<CPlayerOptions::COption> CPlayerOptions::FromEnvironment()
{
    const char* pszExtra = std::getenv(kEnvironmentVariable);
    return Build(pszExtra ? pszExtra : "");
}
