#include "player/TransportBar.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>

CTransportBar::CTransportBar(wxWindow* pParent, int nVolume)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER)
{
    m_pPlayPause = new wxButton(this, ID_PLAY_PAUSE, "Pause");
    // Wide enough for both of its labels.
    m_pPlayPause->SetMinSize(m_pPlayPause->GetBestSize());
    m_pPlayPause->SetLabel("Play");
    m_pStop = new wxButton(this, ID_STOP, "Stop");
    m_pStatusLabel = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                      wxST_ELLIPSIZE_END | wxST_NO_AUTORESIZE);
    m_pMute = new wxToggleButton(this, ID_MUTE, "Mute");
    m_pVolume = new wxSlider(this, ID_VOLUME, nVolume, 0, 100, wxDefaultPosition, wxSize(100, -1));
    m_pVolume->SetToolTip("Volume");

    auto* pRow = new wxBoxSizer(wxHORIZONTAL);
    pRow->Add(m_pPlayPause, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    pRow->Add(m_pStop, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    pRow->Add(m_pStatusLabel, 1, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    pRow->Add(m_pMute, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    pRow->Add(m_pVolume, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    SetSizer(pRow);
}

void CTransportBar::ShowRunning(bool bRunning)
{
    m_pPlayPause->SetLabel(bRunning ? "Pause" : "Play");
}

void CTransportBar::ShowStatusText(const wxString& strText)
{
    m_pStatusLabel->SetLabelText(strText);
    m_pStatusLabel->SetToolTip(strText);
}

void CTransportBar::ShowVolume(int nVolume)
{
    if (m_pVolume->GetValue() != nVolume)
        m_pVolume->SetValue(nVolume);
}

void CTransportBar::ShowMute(bool bMuted)
{
    if (m_pMute->GetValue() != bMuted)
        m_pMute->SetValue(bMuted);
}
