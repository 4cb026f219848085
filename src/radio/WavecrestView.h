#pragma once
// The radio page: the player above the list of channels of the current
// station list. Each reload builds the list afresh from a newly downloaded
// station list; selecting a row plays it, and with auto-play on the row
// played last is selected again after every reload.

#include "frame/PageView.h"
#include "platform/Messages.h"
#include "radio/MediaSession.h"

#include <wx/listctrl.h>

class CChannelListCtrl;
class CStationList;
class CWMPPlayer4;
class wxCheckBox;

class CWavecrestView : public CPageView
{
public:
    bool IsFormPage() const override { return true; }

    // Rebuilds the list from the station-list file and, with auto-play on,
    // selects the remembered row.
    void ReloadChannelList();
    // Loads the station list; when it could be loaded, replaces the columns
    // and rows with its own. Without a file the list stays as it is.
    void FillList(CStationList& stationList);
    void SetUpColumns(const CStationList& stationList);
    void FillRows(const CStationList& stationList);
    // Selects (and so plays) the row with that number, if there is one.
    void SelectRow(int index);
    // Hands an address to the player.
    void PlayUrl(const wxString& url);

    CChannelListCtrl* GetChannelList() const { return m_listChannels; }
    CWMPPlayer4* GetPlayer() const { return m_player; }

    // What desktop media controls ask of the page besides the playback
    // commands: the player's own pause (it stays paused, not stopped), pause
    // or go on, and a volume from 0.0 to 1.0.
    void MediaPause();
    void MediaPlayPause();
    void MediaSetVolume(double dVolume);
    // The channel chosen last (row -1 while none is).
    const MediaChannel& GetChosenChannel() const { return m_chosenChannel; }

protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;

private:
    void OnReloadChannels(platform::CAppMessageEvent& event);
    void OnListItemChanged(wxListEvent& event);
    void OnListKeyDown(wxListEvent& event);
    void OnDisplayNonWorkingChannels(wxCommandEvent& event);
    void OnDisplayRadioChannels(wxCommandEvent& event);
    void OnDisplayTvChannels(wxCommandEvent& event);
    void OnUpdateDisplayRadioChannels(wxUpdateUIEvent& event);
    void OnUpdateDisplayTvChannels(wxUpdateUIEvent& event);
    void OnPlay(wxCommandEvent& event);
    void OnStop(wxCommandEvent& event);
    void OnNextChannel(wxCommandEvent& event);
    void OnPreviousChannel(wxCommandEvent& event);
    void OnStatusChange(wxCommandEvent& event);
    void OnPlayStateChange(wxCommandEvent& event);
    void OnVolumeChange(wxCommandEvent& event);
    // Tells desktop media controls what the page does now.
    void PublishMediaState();
    void OnHotKey(platform::CAppMessageEvent& event);
    bool OnClose(bool deleteWindow) override;
    void PostRefresh();

    CChannelListCtrl* m_listChannels = nullptr;
    CWMPPlayer4* m_player = nullptr;
    wxCheckBox* m_pNonWorkingBox = nullptr;
    bool m_bDisplayNonWorking = false;
    MediaChannel m_chosenChannel;

    wxDECLARE_DYNAMIC_CLASS(CWavecrestView);
    wxDECLARE_EVENT_TABLE();
};
