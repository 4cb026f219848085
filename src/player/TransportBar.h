#pragma once
// The player's own transport controls, in a row below the picture: play or
// pause, stop, the status line, mute and a volume slider from 0 to 100. The
// bar only shows and passes on: its buttons and slider raise their usual
// command events (with the identifiers below), which reach the player
// control, and the control tells the bar what to show.

#include <wx/panel.h>

class wxButton;
class wxSlider;
class wxStaticText;
class wxToggleButton;

class CTransportBar : public wxPanel
{
public:
    enum
    {
        ID_PLAY_PAUSE = wxID_HIGHEST + 1,
        ID_STOP,
        ID_MUTE,
        ID_VOLUME
    };

    CTransportBar(wxWindow* pParent, int nVolume);

    // The play button reads "Pause" while something runs, "Play" otherwise.
    void ShowRunning(bool bRunning);
    void ShowStatusText(const wxString& strText);
    void ShowVolume(int nVolume);
    void ShowMute(bool bMuted);

private:
    wxButton* m_pPlayPause;
    wxButton* m_pStop;
    wxStaticText* m_pStatusLabel;
    wxToggleButton* m_pMute;
    wxSlider* m_pVolume;
};
