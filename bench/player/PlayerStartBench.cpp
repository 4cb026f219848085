// How fast does a channel start? Measures, on a live MP3 stream served on
// loopback, the time from SetURL() on the player control to the first
// decoded sound (the first sample the engine writes to its PCM file output),
// and the same for the mpv command-line player started on the same stream in
// the same run, and prints both with their ratio. Runs alternate between the
// two so that both see the same machine load.
//
//   wavecrest-bench-player [runs]      (needs an X display; default 7 runs)

#include "player/StreamServerProcess.h"
#include "player/ToneAnalysis.h"
#include "player/WMPPlayer4.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

using CClock = std::chrono::steady_clock;

constexpr double kTimeoutSeconds = 30;

double SecondsSince(CClock::time_point start)
{
    return std::chrono::duration<double>(CClock::now() - start).count();
}

bool HasSound(const std::string& strPath)
{
    CPcmSound sound;
    return ReadWaveFile(strPath, sound) && !sound.mono.empty();
}

struct CRun
{
    double dFirstSound = -1; // seconds; -1 when no sound came
    double dPlaying = -1;    // seconds until the status said "Playing" (player only)
    double dTone = 0;        // Hz heard, as a check that the right stream played
    double dCreate = -1;     // seconds to create the control (engine start included)
};

double ToneOf(const std::string& strPath)
{
    CPcmSound sound;
    ReadWaveFile(strPath, sound);
    return DominantFrequency(sound.mono, 0, sound.mono.size(), sound.nSampleRate);
}

CRun RunPlayer(const std::string& strUrl, const std::string& strSound)
{
    const std::string strOptions = "ao=pcm;ao-pcm-file=" + strSound;
    setenv("WAVECREST_PLAYER_OPTIONS", strOptions.c_str(), 1);
    auto* pFrame = new wxFrame(nullptr, wxID_ANY, "Player start", wxPoint(0, 0), wxSize(640, 200));
    const auto created = CClock::now();
    auto* pPlayer = new CWMPPlayer4(pFrame, 1003);
    const double dCreate = SecondsSince(created);
    pFrame->Show();
    WaitUntil([&] { return pPlayer->GetPictureWindow()->IsShownOnScreen(); }, 10000);
    PumpEvents();

    CRun run;
    run.dCreate = dCreate;
    const auto start = CClock::now();
    pPlayer->SetURL(strUrl);
    while (SecondsSince(start) < kTimeoutSeconds && run.dFirstSound < 0)
    {
        PumpEvents();
        if (run.dPlaying < 0 && pPlayer->GetStatusText().StartsWith("Playing"))
            run.dPlaying = SecondsSince(start);
        if (HasSound(strSound))
            run.dFirstSound = SecondsSince(start);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    WaitUntil([&] { return pPlayer->GetStatusText().StartsWith("Playing"); }, 10000);
    if (run.dPlaying < 0 && pPlayer->GetStatusText().StartsWith("Playing"))
        run.dPlaying = SecondsSince(start);
    WaitUntil([&] { return false; }, 1000); // a second of sound for the tone check
    pFrame->Destroy();
    WaitUntil([] { return wxTopLevelWindows.empty(); }, 10000);
    run.dTone = ToneOf(strSound);
    return run;
}

CRun RunMpv(const std::string& strUrl, const std::string& strSound)
{
    const std::string strAo = "--ao-pcm-file=" + strSound;
    CRun run;
    const auto start = CClock::now();
    const pid_t nPid = fork();
    if (nPid == 0)
    {
        execlp("mpv", "mpv", "--no-config", "--ytdl=no", "--really-quiet", "--vo=null", "--ao=pcm",
               strAo.c_str(), strUrl.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    while (SecondsSince(start) < kTimeoutSeconds && run.dFirstSound < 0)
    {
        if (HasSound(strSound))
            run.dFirstSound = SecondsSince(start);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    kill(nPid, SIGTERM);
    waitpid(nPid, nullptr, 0);
    run.dTone = ToneOf(strSound);
    return run;
}

double Median(std::vector<double> values)
{
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRow(const char* pszName, const std::vector<double>& values)
{
    std::printf("  %-34s median %7.1f ms   min %7.1f ms   max %7.1f ms\n", pszName,
                Median(values) * 1000, *std::min_element(values.begin(), values.end()) * 1000,
                *std::max_element(values.begin(), values.end()) * 1000);
}

int RunBenchmark(int nRuns)
{
    CStreamServerProcess server;
    if (!server.IsRunning())
    {
        std::fprintf(stderr, "the loopback stream server did not start\n");
        return 1;
    }
    char szFolder[] = "/tmp/wc-bench-player-XXXXXX";
    if (!mkdtemp(szFolder))
        return 1;
    const std::string strFolder = szFolder;
    std::vector<double> player, playing, mpv, create;
    std::printf("Time from asking for a live MP3 stream (loopback, 128 kb/s, 440 Hz) to its "
                "first decoded sound\n");
    for (int i = 0; i < nRuns; ++i)
    {
        const std::string strRun = std::to_string(i);
        const CRun ours = RunPlayer(server.Url("/radio/440.mp3?player=" + strRun),
                                    strFolder + "/player" + strRun + ".wav");
        const CRun theirs = RunMpv(server.Url("/radio/440.mp3?mpv=" + strRun),
                                   strFolder + "/mpv" + strRun + ".wav");
        std::printf("  run %d: CWMPPlayer4 %7.1f ms (\"Playing\" at %7.1f ms, %.0f Hz)   "
                    "mpv %7.1f ms (%.0f Hz)\n",
                    i + 1, ours.dFirstSound * 1000, ours.dPlaying * 1000, ours.dTone,
                    theirs.dFirstSound * 1000, theirs.dTone);
        player.push_back(ours.dFirstSound);
        playing.push_back(ours.dPlaying);
        mpv.push_back(theirs.dFirstSound);
        create.push_back(ours.dCreate);
    }
    std::printf("Summary over %d runs:\n", nRuns);
    PrintRow("CWMPPlayer4, SetURL to first sound", player);
    PrintRow("CWMPPlayer4, SetURL to \"Playing\"", playing);
    PrintRow("mpv command line, start to sound", mpv);
    PrintRow("creating CWMPPlayer4 (engine start)", create);
    std::printf("  ratio CWMPPlayer4 / mpv (medians): %.2f\n", Median(player) / Median(mpv));
    RemoveTree(strFolder);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int nRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    CTempHome home;
    wxApp::SetInstance(new wxApp());
    int nArgc = 1;
    if (!wxEntryStart(nArgc, argv))
    {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    wxTheApp->CallOnInit();
    const int nResult = RunBenchmark(nRuns);
    wxEntryCleanup();
    return nResult;
}
