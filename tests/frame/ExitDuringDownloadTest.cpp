// The tray menu's Exit chosen while the station list is still downloading
// (its dialog runs a message loop of its own): the download is cancelled,
// the program closes once the dialog has returned, and the placement is kept.
// It ends the application, so it lives in a program of its own.

#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace
{
// A loopback port that takes connections and never says a word: the
// download waits for its first byte.
class CSilentServer
{
public:
    CSilentServer()
    {
        m_nSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_nSocket, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            listen(m_nSocket, 4) == 0 &&
            getsockname(m_nSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_nPort = ntohs(address.sin_port);
    }
    ~CSilentServer() { close(m_nSocket); }
    int Port() const { return m_nPort; }

private:
    int m_nSocket = -1;
    int m_nPort = 0;
};
} // namespace

TEST(ExitDuringDownload, TheTraysExitCancelsTheDownloadAndClosesOnceItsDialogHasReturned)
{
    auto* frame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
    ASSERT_NE(frame, nullptr);
    CSilentServer server;
    ASSERT_NE(server.Port(), 0);
    const std::string address = "http://127.0.0.1:" + std::to_string(server.Port()) + "/world.zip";
    setenv("WAVECREST_STATION_LIST_URL", address.c_str(), 1);
    frame->SetSize(wxRect(30, 40, 730, 520));
    PumpEvents();

    bool exitChosen = false;
    CModalRecorder modals(
        [&](const platform::ModalRequest& request) -> std::optional<int>
        {
            if (request.kind != platform::ModalRequest::Kind::Dialog)
                return wxOK;
            // The download dialog runs for real; Exit is chosen from inside its loop.
            frame->CallAfter(
                [&]
                {
                    exitChosen = true;
                    platform::SendCommand(frame, wc::ID_TRAY_EXIT);
                });
            return std::nullopt;
        });
    // The radio page's refresh returns once the dialog has been cancelled.
    platform::SendCommand(frame, wc::ID_REFRESH_CHANNELS);
    EXPECT_TRUE(exitChosen);
    EXPECT_TRUE(WaitUntil([] { return wxTheApp->GetTopWindow() == nullptr; }));
    EXPECT_EQ(GetWorkspaceInt("MainWindowWidth", 0), 730);
    EXPECT_EQ(GetWorkspaceInt("MainWindowHeight", 0), 520);
    for (const auto& request : modals.Requests())
        EXPECT_NE(request.kind, platform::ModalRequest::Kind::MessageBox)
            << "nothing is asked on the way out: " << request.text;
}
