#pragma once
// The radio page: the player above the list of channels of the current
// station list. Each reload builds the list afresh from a newly downloaded
// station list; selecting a row plays it, and with auto-play on the row
// played last is selected again after every reload.
//
// A reload reads the file in slices of a few tens of milliseconds, driven by
// a timer, so that the window keeps answering while a very large list is
// read; a list of ordinary size is read whole within the first slice, in the
// handling of the reload message itself.

#include "frame/PageView.h"
#include "platform/Messages.h"
#include "radio/MediaSession.h"

#include <wx/listctrl.h>
#include <wx/timer.h>

#include <memory>
#include <vector>

class CChannelListCtrl;
class CChannelRecord;
class CMyChannels;
class CStationList;
class CWMPPlayer4;
class wxBusyCursor;
class wxCheckBox;
class wxTextCtrl;

class CWavecrestView : public CPageView
{
public:
    CWavecrestView();
    ~CWavecrestView() override;

    bool IsFormPage() const override { return true; }

    // Rebuilds the list from the station-list file and, with auto-play on,
    // selects the remembered row. Without a file the list stays as it is. A
    // reload still under way is given up for the new one.
    void ReloadChannelList();
    // True while a reload is still reading its file.
    bool IsReloading() const { return m_pLoading != nullptr; }
    // Replaces the columns and rows with those of a loaded station list; its
    // channels move into the list.
    void FillList(CStationList& stationList);
    void SetUpColumns(const CStationList& stationList);
    void FillRows(CStationList& stationList);
    // Selects (and so plays) the channel with that index in the list without
    // a find text, if there is one; a find text that hides it is emptied.
    void SelectRow(int index);
    // The person's own channels, shown after the station list's rows.
    CMyChannels& GetMyChannels() { return *m_pMyChannels; }
    // Shows My channels again after they changed (and saves them): false
    // when they could not be saved.
    bool MyChannelsChanged();
    // Adds the channels to My channels (those whose address is there already
    // are not added again) and plays the first of them.
    void AddChannelsAndPlayFirst(const std::vector<CChannelRecord>& channels);
    wxTextCtrl* GetFindBox() const { return m_pFindBox; }
    // Hands an address to the player.
    void PlayUrl(const wxString& url);
    // Carries out what the main frame keeps for the page to play (see
    // CMainFrame::RequestPlay): a station found elsewhere plays as the
    // chosen channel, in place of the one auto-play would choose. True when
    // there was any.
    bool TakePlayRequests();

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
    // Where the page tells desktop media controls what it does (nullptr, as
    // before it is given one: nowhere). Given before the page is created.
    void SetMediaSession(const CMediaSession* pSession) { m_pMediaSession = pSession; }

protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;

private:
    void OnReloadChannels(platform::CAppMessageEvent& event);
    void OnTakePlayRequests(wxCommandEvent& event);
    void OnReloadTimer(wxTimerEvent& event);
    void ContinueReload();
    void StopReload();
    // Where in the list without a find text auto-play finds the channel
    // played last.
    int LastPlayedListIndex() const;
    // Auto-play after a reload: selects that channel's row (and so plays it).
    void SelectLastPlayed();
    // Whether the player is playing (or opening) that address now.
    bool PlaysNow(const wxString& address) const;
    void OnListItemChanged(wxListEvent& event);
    void OnListKeyDown(wxListEvent& event);
    void ShowMyChannelRows();
    void OnFindText(wxCommandEvent& event);
    void OnFindEnter(wxCommandEvent& event);
    void OnFindKeyDown(wxKeyEvent& event);
    void OnPageCharHook(wxKeyEvent& event);
    void OnAddChannel(wxCommandEvent& event);
    void OnEditChannel(wxCommandEvent& event);
    void OnRemoveChannel(wxCommandEvent& event);
    void OnListContextMenu(wxListEvent& event);
    void OnListContextMenuKey(wxContextMenuEvent& event);
    void ShowChannelMenu(int row, const wxPoint& position);
    void OnListItemActivated(wxListEvent& event);
    // Plays the row (selecting it), unless it is the one playing already.
    void PlayRow(int row);
    // The row a context menu was opened on (else the selected one), once.
    int TakeChannelRow();
    // Shows the own channel in the list and selects (so plays) it.
    void SelectOwnChannel(int index);
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
    // The player's status text, and the note on a shortened list after it.
    void ShowStatusText();
    void OnVolumeChange(wxCommandEvent& event);
    // Tells desktop media controls what the page does now.
    void PublishMediaState();
    void OnHotKey(platform::CAppMessageEvent& event);
    bool OnClose(bool deleteWindow) override;
    void PostRefresh();

    CChannelListCtrl* m_listChannels = nullptr;
    CWMPPlayer4* m_player = nullptr;
    wxCheckBox* m_pNonWorkingBox = nullptr;
    wxTextCtrl* m_pFindBox = nullptr;
    std::unique_ptr<CMyChannels> m_pMyChannels;
    int m_nContextRow = -1;       // the row of an open context menu
    bool m_bEnterHandled = false; // Enter in the list, until the events it gives are handled
    bool m_bDisplayNonWorking = false;
    MediaChannel m_chosenChannel;
    bool m_bPlayingHandedStation = false; // a station from elsewhere plays, not a row
    const CMediaSession* m_pMediaSession = nullptr;
    wxString m_strListNote; // why the list shows fewer channels than its file holds
    std::unique_ptr<CStationList> m_pLoading; // the station list of a reload under way
    std::unique_ptr<wxBusyCursor> m_pBusyCursor;
    wxTimer m_reloadTimer;

    wxDECLARE_DYNAMIC_CLASS(CWavecrestView);
    wxDECLARE_EVENT_TABLE();
};
