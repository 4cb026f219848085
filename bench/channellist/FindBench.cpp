// How long one keystroke in the radio page's find box takes with 100,000
// channels listed: from the text's change to the rows drawn, and how long the
// rows' texts take to fold for finding, which the list does on its own once
// it has been filled. The keystrokes are typed three times over, or as many
// times as the argument says.
// Starts the real application (it needs an X display), prints figures and
// ends; it asserts nothing.

#include "RadioPageBench.h"
#include "catalogue/DataFolder.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "radio/ChannelListCtrl.h"
#include "radio/WavecrestView.h"
#include "support/GuiTestSupport.h"

#include <wx/evtloop.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
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

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// Counts the paints of a window (its own handler still paints it).
class PaintCounter
{
public:
    explicit PaintCounter(wxWindow* window)
    {
        window->Bind(wxEVT_PAINT,
                     [this](wxPaintEvent& event)
                     {
                         ++m_count;
                         event.Skip();
                     });
    }
    int Count() const { return m_count; }

private:
    int m_count = 0;
};

void PrintSummary(const char* what, std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    double total = 0;
    for (const double figure : figures)
        total += figure;
    const std::size_t n = figures.size();
    const double median = n % 2 ? figures[n / 2] : (figures[n / 2 - 1] + figures[n / 2]) / 2;
    std::printf("%-20s %7.2f  %7.2f  %7.2f ms\n", what, total / static_cast<double>(n), median,
                figures.back());
}

} // namespace

int main(int argc, char** argv)
{
    // The keystrokes are typed this many times over.
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    CRadioPageBench bench(argv);
    if (!bench.IsRunning())
        return 2;
    wxGUIEventLoop& loop = bench.Loop();

    std::ofstream(GetStationListPath(), std::ios::binary) << GeneratedStationList();
    platform::SendMessage(CRadioPageBench::View(), wc::WM_RELOAD_CHANNELS);
    while (CRadioPageBench::View()->IsReloading())
        loop.Dispatch();
    const auto foldStart = std::chrono::steady_clock::now();
    PumpEvents(); // the rows' texts folded
    std::printf(
        "rows' texts folded for finding after the reload in %.0f ms\n",
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - foldStart)
            .count());
    CChannelListCtrl* list = CRadioPageBench::View()->GetChannelList();
    wxTextCtrl* findBox = CRadioPageBench::View()->GetFindBox();
    std::printf("%d channels listed\n", list->GetListCount());

    // The list's two windows: the rows, which it scrolls, and the column titles.
    wxWindow* rowsWindow = list->GetTargetWindow();
    wxWindow* headerWindow = nullptr;
    for (wxWindow* child : list->GetChildren())
        if (child != rowsWindow)
            headerWindow = child;
    if (!rowsWindow || rowsWindow == list || !headerWindow)
        return 3;
    PaintCounter rowPaints(rowsWindow);
    PaintCounter headerPaints(headerWindow);

    // Typing a name letter by letter, then taking the letters back.
    const std::string name = "cafe musica 4";
    std::vector<std::string> texts;
    for (std::size_t length = 1; length <= name.size(); ++length)
        texts.push_back(name.substr(0, length));
    for (std::size_t length = name.size() - 1; length > 0; --length)
        texts.push_back(name.substr(0, length));
    texts.push_back("zzz");
    texts.push_back("");

    std::printf("\nfound: the find box's text changed and the rows known; drawn: and then the\n"
                "list's rows painted (Update runs the paint the next frame would), or as found\n"
                "when no paint comes within 100 ms; repaint: the same rows painted again with\n"
                "nothing changed, for reference (the least any keystroke that changes the rows\n"
                "can cost to draw); paints: of the rows and of the column titles, until the\n"
                "event loop is idle.\n");
    std::vector<double> found;
    std::vector<double> drawn;
    std::vector<double> repaint;
    for (int round = 1; round <= rounds; ++round)
    {
        std::printf("\nround %d           rows     found    drawn   repaint  paints\n", round);
        for (const std::string& text : texts)
        {
            PumpEvents();
            const int rowPaintsBefore = rowPaints.Count();
            const int headerPaintsBefore = headerPaints.Count();
            const auto start = Clock::now();
            findBox->SetValue(wxString::FromUTF8(text)); // as a keystroke changes it
            const Milliseconds foundIn = Clock::now() - start;
            // The paint the window asked for, run now as the next frame
            // would; one asked for only later, when the event loop is idle,
            // is waited for (a keystroke that changes no row shown asks for
            // none).
            list->Update();
            Milliseconds drawnIn = Clock::now() - start;
            bool painted = rowPaints.Count() > rowPaintsBefore;
            bool late = false;
            const auto deadline = Clock::now() + std::chrono::milliseconds(100);
            while (!painted && Clock::now() < deadline)
            {
                PumpEvents();
                list->Update();
                painted = late = rowPaints.Count() > rowPaintsBefore;
                drawnIn = Clock::now() - start;
                if (!painted)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (!painted)
                drawnIn = foundIn;
            PumpEvents();
            const int rowPaintsAfter = rowPaints.Count() - rowPaintsBefore;
            const int headerPaintsAfter = headerPaints.Count() - headerPaintsBefore;

            const auto repaintStart = Clock::now();
            rowsWindow->Refresh();
            list->Update();
            const Milliseconds repaintIn = Clock::now() - repaintStart;
            PumpEvents();

            std::printf("%-16s %6d  %7.2f  %7.2f  %7.2f   %d / %d%s\n",
                        ("\"" + text + "\"").c_str(), list->GetRowCount(), foundIn.count(),
                        drawnIn.count(), repaintIn.count(), rowPaintsAfter, headerPaintsAfter,
                        late      ? "  (painted only when idle)"
                        : painted ? ""
                                  : "  (no row changed: nothing to paint)");
            found.push_back(foundIn.count());
            drawn.push_back(drawnIn.count());
            repaint.push_back(repaintIn.count());
        }
    }
    std::printf("\n%zu keystrokes        mean   median  slowest\n", found.size());
    PrintSummary("found", found);
    PrintSummary("found and drawn", drawn);
    PrintSummary("repaint (reference)", repaint);
    std::printf("target: found and drawn under 16 ms for every keystroke, aim 5 ms\n");

    return 0;
}
