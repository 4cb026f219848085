// How long one keystroke in the radio page's find box takes with 100,000
// channels listed: from the text's change to the rows drawn, and how long the
// rows' texts take to fold for finding, which the list does on its own once
// it has been filled.
// Starts the real application (it needs an X display), prints figures and
// ends; it asserts nothing.

#include "app/WavecrestApp.h"
#include "catalogue/DataFolder.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "radio/ChannelListCtrl.h"
#include "radio/WavecrestView.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <wx/docview.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{
constexpr int kChannels = 100000;

void AppendUtf16(std::string& out, const std::u16string& text)
{
    for (const char16_t unit : text)
    {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
}

// Names of several languages, some with accents, as real lists have them.
std::string GeneratedStationList()
{
    static const char16_t* const kWords[] = {u"Radio", u"Caf\u00e9", u"M\u00fasica", u"News",
                                             u"Jazz",  u"K\u00f6ln", u"Rock",        u"TV"};
    std::string bytes;
    AppendUtf16(bytes, u"Type,Channel Name,Stream Address,Language,Genre,Description,Status\r\n");
    for (int i = 0; i < kChannels; ++i)
    {
        std::u16string n;
        for (const char c : std::to_string(i))
            n += static_cast<char16_t>(c);
        AppendUtf16(bytes, std::u16string(i % 3 ? u"Radio" : u"TV") + u"," + kWords[i % 8] + u" " +
                               kWords[(i / 8) % 8] + u" " + n + u",http://127.0.0.1:9/stream/" + n +
                               u".mp3,English,Genre " + n + u",A description of channel " + n +
                               u",ON\r\n");
    }
    return bytes;
}

CWavecrestView* RadioView()
{
    return dynamic_cast<CWavecrestView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}
} // namespace

int main(int /*argc*/, char** argv)
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
    WriteSettingInt("AutoPlay", 0);
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    PumpEvents();
    WaitUntil([] { return RadioView() != nullptr; });
    PumpEvents();

    std::ofstream(GetStationListPath(), std::ios::binary) << GeneratedStationList();
    platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
    while (RadioView()->IsReloading())
        loop.Dispatch();
    const auto foldStart = std::chrono::steady_clock::now();
    PumpEvents(); // the rows' texts folded
    std::printf(
        "rows' texts folded for finding after the reload in %.0f ms\n",
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - foldStart)
            .count());
    CChannelListCtrl* list = RadioView()->GetChannelList();
    wxTextCtrl* findBox = RadioView()->GetFindBox();
    std::printf("%d channels listed\n", list->GetListCount());

    using Milliseconds = std::chrono::duration<double, std::milli>;
    // Typing a name letter by letter, then taking the letters back.
    const std::string name = "cafe musica 4";
    std::vector<std::string> texts;
    for (std::size_t length = 1; length <= name.size(); ++length)
        texts.push_back(name.substr(0, length));
    for (std::size_t length = name.size() - 1; length > 0; --length)
        texts.push_back(name.substr(0, length));
    texts.push_back("zzz");
    texts.push_back("");
    Milliseconds slowest{0};
    Milliseconds total{0};
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        findBox->SetValue(wxString::FromUTF8(texts[i])); // as a keystroke changes it
        const Milliseconds found = std::chrono::steady_clock::now() - start;
        list->Update(); // the rows drawn
        const Milliseconds elapsed = std::chrono::steady_clock::now() - start;
        PumpEvents();
        std::printf("%-16s %6d rows  %6.2f ms (rows found in %5.2f ms)\n",
                    ("\"" + texts[i] + "\"").c_str(), list->GetRowCount(), elapsed.count(),
                    found.count());
        slowest = std::max(slowest, elapsed);
        total += elapsed;
    }
    std::printf("one keystroke: slowest %.2f ms, mean %.2f ms (target under 16 ms, aim 5 ms)\n",
                slowest.count(), total.count() / static_cast<double>(texts.size()));

    if (wxWindow* frame = wxTheApp->GetTopWindow())
        frame->Destroy();
    PumpEvents();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
