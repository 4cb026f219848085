// A TV channel's picture on the radio page of the real application, on the
// test's X server with Mesa's software OpenGL: a loopback stream whose
// picture is one colour plays, and the pixels on the screen where the page
// shows the picture are that colour, through OpenGL and through the software
// renderer; the picture keeps its aspect at another window size; a double
// click or F11 shows it on the whole screen, and Esc brings the window back
// as it was.

#include "catalogue/DataFolder.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "player/StreamServerProcess.h"
#include "player/WMPPlayer4.h"
#include "radio/ChannelListCtrl.h"
#include "radio/WavecrestView.h"
#include "session/PlaybackSession.h"
#include "support/GuiTestSupport.h"
#include "support/TempHome.h"
#include "support/XKeyGrabber.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/docview.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace
{

constexpr int kLongWait = 30000;
// The stream's colour, 0x20c040; MPEG-2's colour conversion moves it a little.
constexpr int kRed = 0x20, kGreen = 0xc0, kBlue = 0x40;
constexpr int kTolerance = 24;

CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

CWavecrestView* RadioView()
{
    return dynamic_cast<CWavecrestView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}

CWMPPlayer4* Player()
{
    return RadioView()->GetPlayer();
}

// What the screen shows, read from the X server's root window.
class CScreenShot
{
public:
    explicit CScreenShot(const wxRect& rect) : m_rect(rect)
    {
        Display* pDisplay = gdk_x11_get_default_xdisplay();
        m_pImage = XGetImage(pDisplay, DefaultRootWindow(pDisplay), rect.x, rect.y,
                             static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height),
                             AllPlanes, ZPixmap);
    }
    ~CScreenShot()
    {
        if (m_pImage)
            XDestroyImage(m_pImage);
    }
    CScreenShot(const CScreenShot&) = delete;
    CScreenShot& operator=(const CScreenShot&) = delete;

    bool IsValid() const { return m_pImage != nullptr; }
    unsigned long Pixel(int x, int y) const { return XGetPixel(m_pImage, x, y); }
    bool IsStreamColour(int x, int y) const
    {
        const unsigned long pixel = Pixel(x, y);
        return std::abs(static_cast<int>((pixel >> 16) & 0xff) - kRed) <= kTolerance &&
               std::abs(static_cast<int>((pixel >> 8) & 0xff) - kGreen) <= kTolerance &&
               std::abs(static_cast<int>(pixel & 0xff) - kBlue) <= kTolerance;
    }
    bool IsBlack(int x, int y) const { return (Pixel(x, y) & 0xffffff) < 0x101010; }
    // The stretch of the stream's colour along the middle row, and along the
    // middle column.
    int ColouredWidth() const
    {
        int n = 0;
        for (int x = 0; x < m_rect.width; ++x)
            n += IsStreamColour(x, m_rect.height / 2);
        return n;
    }
    int ColouredHeight() const
    {
        int n = 0;
        for (int y = 0; y < m_rect.height; ++y)
            n += IsStreamColour(m_rect.width / 2, y);
        return n;
    }

private:
    wxRect m_rect;
    XImage* m_pImage = nullptr;
};

// Where the picture area is on the screen (the part that is on the screen).
wxRect PictureRect()
{
    wxWindow* pPicture = Player()->GetPictureWindow();
    return wxRect(pPicture->GetScreenPosition(), pPicture->GetClientSize())
        .Intersect(wxRect(wxPoint(0, 0), wxGetDisplaySize()));
}

bool PictureIsStreamColour()
{
    const wxRect rect = PictureRect();
    if (rect.width < 8 || rect.height < 8)
        return false;
    const CScreenShot shot(rect);
    return shot.IsValid() && shot.IsStreamColour(rect.width / 2, rect.height / 2);
}

// The picture fills the area at 16:9 with black bars on the other sides.
::testing::AssertionResult KeepsItsAspect()
{
    const wxRect rect = PictureRect();
    const CScreenShot shot(rect);
    const int nWidth = shot.ColouredWidth(), nHeight = shot.ColouredHeight();
    const double dAspect = nHeight > 0 ? double(nWidth) / nHeight : 0;
    const bool bFillsOneWay = nWidth >= rect.width - 2 || nHeight >= rect.height - 2;
    const bool bBarsElsewhere = nWidth >= rect.width - 2
                                    ? shot.IsBlack(rect.width / 2, 0) || nHeight >= rect.height - 2
                                    : shot.IsBlack(0, rect.height / 2);
    if (std::abs(dAspect - 16.0 / 9.0) < 0.06 && bFillsOneWay && bBarsElsewhere)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "area " << rect.width << "x" << rect.height << ", coloured " << nWidth << "x"
           << nHeight << " (aspect " << dAspect << ")";
}

bool RunXdotool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all = {"xdotool"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void DoubleClickPicture()
{
    const wxRect rect = PictureRect();
    const wxPoint centre(rect.x + rect.width / 2, rect.y + rect.height / 2);
    // The pointer comes in from beside the picture, as a hand moves it, and
    // the program has seen it arrive before the clicks.
    for (const wxPoint& at : {wxPoint(rect.x + rect.width / 2, rect.y - 8), centre})
    {
        RunXdotool({"mousemove", std::to_string(at.x), std::to_string(at.y)});
        WaitUntil([&] { return wxGetMousePosition() == at; });
    }
    PumpEvents();
    RunXdotool({"click", "--repeat", "2", "--delay", "80", "1"});
}

struct CVideoPath
{
    const char* pszName;
    bool bSoftware;
};

void PrintTo(const CVideoPath& path, std::ostream* pStream)
{
    *pStream << path.pszName;
}

class TvPicture : public ::testing::TestWithParam<CVideoPath>
{
protected:
    static void SetUpTestSuite()
    {
        s_pStreams = std::make_unique<CStreamServerProcess>();
        const std::string options =
            "ao=pcm;ao-pcm-file=" + std::string(std::getenv("HOME")) + "/sound.wav";
        setenv("WAVECREST_PLAYER_OPTIONS", options.c_str(), 1);
    }
    static void TearDownTestSuite()
    {
        Frame()->OpenCategoryPage(1);
        PumpEvents();
        s_pStreams.reset();
        unsetenv("WAVECREST_VIDEO");
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_pStreams->IsRunning());
        // A page opened now has a player that draws the way asked for.
        if (GetParam().bSoftware)
            setenv("WAVECREST_VIDEO", "software", 1);
        else
            unsetenv("WAVECREST_VIDEO");
        Frame()->OpenCategoryPage(1);
        PumpEvents();
        Frame()->OpenCategoryPage(0);
        PumpEvents();
        ASSERT_NE(RadioView(), nullptr);
        WriteSettingInt("AutoPlay", 0);
        Frame()->SetSize(40, 40, 900, 700);
        ASSERT_TRUE(WaitUntil([] { return Player()->GetPictureWindow()->IsShownOnScreen(); }))
            << "the picture area was never shown";
        WriteWholeFile(GetStationListPath(),
                       StationListBytes("Type,Name,Address,Language,Genre,About,Status\nTV,Green," +
                                        s_pStreams->Url("/tv/600.ts?colour=20c040&size=320x180") +
                                        ",en,Test,Picture,ON\n"));
        platform::SendMessage(RadioView(), wc::WM_RELOAD_CHANNELS);
        PumpEvents();
        ASSERT_EQ(RadioView()->GetChannelList()->GetItemCount(), 1);
    }

    void PlayTheTvChannel()
    {
        RadioView()->SelectRow(0);
        ASSERT_TRUE(WaitUntil([] { return Player()->IsShowingVideo(); }, kLongWait))
            << Player()->GetStatusText();
        ASSERT_TRUE(WaitUntil(PictureIsStreamColour, kLongWait))
            << "the picture area never showed the stream's colour; status: "
            << Player()->GetStatusText();
        EXPECT_EQ(Player()->IsSoftwareVideo(), GetParam().bSoftware);
        EXPECT_TRUE(
            WaitUntil([] { return Player()->GetStatusText().StartsWith("Playing"); }, kLongWait))
            << Player()->GetStatusText();
        EXPECT_EQ(Player()->GetStatusText().Find("no picture"), wxNOT_FOUND);
    }

    static std::unique_ptr<CStreamServerProcess> s_pStreams;
    CModalRecorder m_modals{[](const platform::ModalRequest&) -> std::optional<int>
                            { return wxOK; }};
};

std::unique_ptr<CStreamServerProcess> TvPicture::s_pStreams;

} // namespace

TEST_P(TvPicture, ShowsTheStreamsColourAndKeepsItsAspectWhenTheWindowChanges)
{
    PlayTheTvChannel();
    EXPECT_TRUE(WaitUntil([] { return static_cast<bool>(KeepsItsAspect()); }, 5000))
        << KeepsItsAspect();
    // Wider, then taller than the picture: the bars move, the colour stays.
    for (const wxSize& size : {wxSize(1200, 560), wxSize(560, 900)})
    {
        Frame()->SetSize(size);
        EXPECT_TRUE(WaitUntil([] { return static_cast<bool>(KeepsItsAspect()); }, 10000))
            << KeepsItsAspect();
    }
}

TEST_P(TvPicture, ADoubleClickOrF11ShowsThePictureOnTheWholeScreenAndEscBringsTheWindowBack)
{
    PlayTheTvChannel();
    const wxRect before = Frame()->GetScreenRect();
    const wxSize screen = wxGetDisplaySize();

    DoubleClickPicture();
    ASSERT_TRUE(WaitUntil([] { return Player()->IsFullScreen(); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return PictureRect() == wxRect(wxPoint(0, 0), screen); }, 5000))
        << "the picture covers " << PictureRect().x << "," << PictureRect().y << " "
        << PictureRect().width << "x" << PictureRect().height;
    EXPECT_TRUE(WaitUntil(PictureIsStreamColour, kLongWait)) << "no picture on the whole screen";
    ASSERT_TRUE(PressKeys("Escape"));
    ASSERT_TRUE(WaitUntil([] { return !Player()->IsFullScreen(); }, 5000));
    EXPECT_EQ(Frame()->GetScreenRect(), before);
    EXPECT_TRUE(WaitUntil(PictureIsStreamColour, kLongWait)) << "the page lost the picture";

    // F11 with the list focused, Esc again.
    RadioView()->GetChannelList()->SetFocus();
    PumpEvents();
    ASSERT_TRUE(PressKeys("F11"));
    ASSERT_TRUE(WaitUntil([] { return Player()->IsFullScreen(); }, 5000));
    EXPECT_TRUE(WaitUntil(PictureIsStreamColour, kLongWait)) << "no picture on the whole screen";
    ASSERT_TRUE(PressKeys("Escape"));
    ASSERT_TRUE(WaitUntil([] { return !Player()->IsFullScreen(); }, 5000));
    EXPECT_EQ(Frame()->GetScreenRect(), before);

    // A channel change while on the whole screen brings the window back.
    DoubleClickPicture();
    ASSERT_TRUE(WaitUntil([] { return Player()->IsFullScreen(); }, 5000));
    CPlaybackSession::Program()->Request(
        PlayRequest{{}, "Tone", wxString::FromUTF8(s_pStreams->Url("/radio/440.mp3"))});
    EXPECT_FALSE(Player()->IsFullScreen());
    EXPECT_EQ(Frame()->GetScreenRect(), before);
}

TEST_P(TvPicture, HidingToTheTrayOrAnotherPageEndsTheFullScreen)
{
    PlayTheTvChannel();
    Player()->SetFullScreen(true);
    ASSERT_TRUE(Player()->IsFullScreen());
    Frame()->HideToTray();
    PumpEvents();
    EXPECT_FALSE(Player()->IsFullScreen());
    EXPECT_FALSE(Frame()->IsShown());
    platform::SendCommand(Frame(), wc::ID_TRAY_SHOW);
    ASSERT_TRUE(WaitUntil([] { return Frame()->IsShown(); }));
    EXPECT_TRUE(WaitUntil(PictureIsStreamColour, kLongWait)) << "the page lost the picture";

    // Another page while on the whole screen: the player goes with the page,
    // and with it the full screen, and no top-level window stays behind.
    Player()->SetFullScreen(true);
    ASSERT_TRUE(Player()->IsFullScreen());
    Frame()->OpenCategoryPage(1);
    PumpEvents();
    EXPECT_TRUE(WaitUntil(
        []
        {
            for (wxWindow* pWindow : wxTopLevelWindows)
                if (pWindow != Frame() && pWindow->IsShown() &&
                    pWindow->GetLabel() == "Wavecrest picture")
                    return false;
            return true;
        }));
}

INSTANTIATE_TEST_SUITE_P(
    , TvPicture, ::testing::Values(CVideoPath{"OpenGL", false}, CVideoPath{"Software", true}),
    [](const ::testing::TestParamInfo<CVideoPath>& info) { return info.param.pszName; });
