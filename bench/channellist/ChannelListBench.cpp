// How long the radio page takes from the reload message to the rows shown,
// for a station list of 100,000 channels, and how much memory the rows keep.
// Starts the real application (it needs an X display), prints figures and
// ends; it asserts nothing.

#include "app/Identifiers.h"
#include "app/Settings.h"
#include "app/WavecrestApp.h"
#include "catalogue/DataFolder.h"
#include "frame/MainFrame.h"
#include "radio/ChannelListCtrl.h"
#include "radio/WavecrestView.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <wx/docview.h>
#include <wx/init.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
constexpr int kChannels = 100000;

long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
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

CWavecrestView* RadioView()
{
    return dynamic_cast<CWavecrestView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}
} // namespace

int main(int argc, char** argv)
{
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    CTempHome home;
    setenv("WAVECREST_STATION_LIST_URL", "http://127.0.0.1:9/world.zip", 1);
    const std::string modalLog = home.Path() + "/modal.log";
    setenv("WAVECREST_MODAL_LOG", modalLog.c_str(), 1);
    setenv("WAVECREST_PLAYER_OPTIONS", "ao=null", 1);
    wxApp::SetInstance(new CWavecrestApp());
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit())
        return 2;
    (void)argc;
    WriteSettingInt("AutoPlay", 0);
    PumpEvents();
    WaitUntil([] { return RadioView() != nullptr; });
    PumpEvents();

    const std::string list = GeneratedStationList();
    std::printf("station list: %d channels, %.1f MB of UTF-16\n", kChannels, list.size() / 1e6);
    for (int round = 1; round <= 3; ++round)
    {
        std::ofstream(GetStationListPath(), std::ios::binary) << list;
        const long before = ResidentKilobytes();
        const auto start = std::chrono::steady_clock::now();
        platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
        RadioView()->GetChannelList()->Update(); // the rows drawn
        const auto elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
        PumpEvents();
        std::printf("reload %d: %d rows shown in %.0f ms; memory %+.1f MB (resident %.1f MB)\n",
                    round, RadioView()->GetChannelList()->GetRowCount(), elapsed.count(),
                    (ResidentKilobytes() - before) / 1024.0, ResidentKilobytes() / 1024.0);
    }
    std::printf("targets: under 300 ms, under 100 MB more than before the reload\n");

    if (wxWindow* frame = wxTheApp->GetTopWindow())
        frame->Destroy();
    PumpEvents();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
