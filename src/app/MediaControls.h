#pragma once
// Desktop media controls for the running program: offers it on the session
// bus (platform::CMprisService) and connects that to the main window and the
// playback session. Raise and Quit are the tray's Show and Exit; everything
// else goes to the session. Like the hot keys, everything but Raise and Quit
// acts only while the radio page is open.

#include "platform/MprisService.h"
#include "session/PlaybackSession.h"

#include <memory>

class CMainFrame;

class CMediaControls : public platform::IMprisHandler, public IMediaStateListener
{
public:
    // Listens to the session for as long as it lives.
    explicit CMediaControls(CPlaybackSession& session);
    ~CMediaControls() override;
    CMediaControls(const CMediaControls&) = delete;
    CMediaControls& operator=(const CMediaControls&) = delete;

    const platform::CMprisService& GetService() const { return *m_pService; }

    void OnRaise() override;
    void OnQuit() override;
    void OnPlay() override;
    void OnPause() override;
    void OnPlayPause() override;
    void OnStop() override;
    void OnNext() override;
    void OnPrevious() override;
    void OnSetVolume(double dVolume) override;

    void OnMediaStateChanged(const MediaState& state) override;

private:
    static CMainFrame* MainFrame();
    CPlaybackSession& m_session;
    std::unique_ptr<platform::CMprisService> m_pService;
};
