// How long the radio page takes from the reload message to the rows shown,
// how long the window goes without answering meanwhile (the longest single
// turn of the event loop), and how much memory the rows keep; for a station
// list of 100,000 channels, or with the argument "x" for the largest list a
// download accepts, 64 MiB of lines that hold only "x". Starts the real
// application (it needs an X display), prints figures and ends; it asserts
// nothing.

#include "RadioPageBench.h"
#include "catalogue/DataFolder.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "radio/ChannelListCtrl.h"
#include "radio/WavecrestView.h"
#include "support/GuiTestSupport.h"

#include <wx/evtloop.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace
{
constexpr int kChannels = 100000;

long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    return 0;
}

long ResidentKilobytes()
{
    return StatusKilobytes("VmRSS:");
}

void AppendUtf16(std::string& out, const std::string& ascii)
{
    for (char c : ascii)
    {
        out += c;
        out += '\0';
    }
}

std::string GeneratedStationList()
{
    std::string bytes;
    AppendUtf16(bytes, "Type,Channel Name,Stream Address,Language,Genre,Description,Status\r\n");
    for (int i = 0; i < kChannels; ++i)
    {
        const std::string n = std::to_string(i);
        AppendUtf16(bytes, std::string(i % 3 ? "Radio" : "TV") + ",Channel number " + n +
                               " of the benchmark,http://127.0.0.1:9/stream/" + n +
                               ".mp3,English,Genre " + std::to_string(i % 40) +
                               ",A description of channel " + n + " that is long enough," +
                               (i % 50 ? "ON" : "OFF") + "\r\n");
    }
    return bytes;
}

// The header and "x" lines up to 64 MiB.
std::string UselessStationList()
{
    std::string bytes;
    AppendUtf16(bytes, "Type,Name,Address,Id,Genre,Country,Status\r\n");
    const std::size_t limit = std::size_t(64) * 1024 * 1024;
    bytes.reserve(limit);
    while (bytes.size() + 4 <= limit)
        bytes.append("x\0\n\0", 4);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    CRadioPageBench bench(argv);
    if (!bench.IsRunning())
        return 2;
    wxGUIEventLoop& loop = bench.Loop();

    const bool useless = argc > 1 && std::string(argv[1]) == "x";
    const std::string list = useless ? UselessStationList() : GeneratedStationList();
    if (useless)
        std::printf("station list: %.1f MB of UTF-16 lines holding only \"x\"\n",
                    list.size() / 1e6);
    else
        std::printf("station list: %d channels, %.1f MB of UTF-16\n", kChannels, list.size() / 1e6);
    using Milliseconds = std::chrono::duration<double, std::milli>;
    for (int round = 1; round <= 3; ++round)
    {
        std::ofstream(GetStationListPath(), std::ios::binary) << list;
        const long before = ResidentKilobytes();
        const auto start = std::chrono::steady_clock::now();
        auto turnStart = start;
        platform::SendMessage(CRadioPageBench::View(), wc::WM_RELOAD_CHANNELS);
        // The rest of the reload, one turn of the event loop at a time.
        Milliseconds longestTurn = std::chrono::steady_clock::now() - turnStart;
        while (CRadioPageBench::View()->IsReloading())
        {
            turnStart = std::chrono::steady_clock::now();
            loop.Dispatch();
            longestTurn =
                std::max<Milliseconds>(longestTurn, std::chrono::steady_clock::now() - turnStart);
        }
        CRadioPageBench::View()->GetChannelList()->Update(); // the rows drawn
        const Milliseconds elapsed = std::chrono::steady_clock::now() - start;
        PumpEvents();
        std::printf("reload %d: %d rows shown in %.0f ms, longest turn of the event loop %.0f ms; "
                    "memory %+.1f MB (resident %.1f MB, peak %.1f MB)\n",
                    round, CRadioPageBench::View()->GetChannelList()->GetRowCount(),
                    elapsed.count(), longestTurn.count(), (ResidentKilobytes() - before) / 1024.0,
                    ResidentKilobytes() / 1024.0, StatusKilobytes("VmHWM:") / 1024.0);
    }
    std::printf("targets: under 300 ms for 100,000 channels, no turn over 500 ms, "
                "under 100 MB more than before the reload\n");

    return 0;
}
