#pragma once
// Desktop media controls for the running program: offers it on the session
// bus (platform::CMprisService) and connects that to the main window and the
// radio page. Raise and Quit are the tray's Show and Exit; Play, Stop, Next
// and Previous are the ribbon's commands; Pause, Play/Pause and the volume
// act on the radio page's player. Like the hot keys, everything but Raise and
// Quit acts only while the radio page is open.

#include "platform/MprisService.h"
#include "radio/MediaSession.h"

#include <memory>

class CMainFrame;
class CWavecrestView;

class CMediaControls : public platform::IMprisHandler, public IMediaStateListener
{
public:
    // Listens to the session for as long as it lives.
    explicit CMediaControls(CMediaSession& session);
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
    static CWavecrestView* RadioView();
    void PostToMainFrame(int nCommand);

    CMediaSession& m_session;
    std::unique_ptr<platform::CMprisService> m_pService;
};
