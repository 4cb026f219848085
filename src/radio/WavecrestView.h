#pragma once
// The radio page: the player above the list of channels of the current
// station list. The page shows the program's playback session: while it is
// open its player control shows the session's engine, selecting a row plays
// it through the session, and with auto-play on the row played last is
// selected again after every load of the list. Closing the page ends
// playback. The list itself is filled by its refresh (CChannelListRefresh).

#include "frame/PageView.h"
#include "platform/Messages.h"
#include "session/PlaybackSession.h"

#include <wx/listctrl.h>

#include <memory>
#include <vector>

class CChannelListCtrl;
class CChannelListRefresh;
class CChannelRecord;
class CMyChannelRows;
class CMyChannels;
class CWMPPlayer4;
class wxCheckBox;
class wxTextCtrl;

class CWavecrestView : public CPageView, private IPlaybackPage, private IChannelRows
{
public:
    CWavecrestView();
    ~CWavecrestView() override;

    bool IsFormPage() const override { return true; }

    // Loads the list afresh from the station-list file and, with auto-play
    // on, selects the remembered row. Without a file the list stays as it is.
    void ReloadChannelList();
    // True while a load is still reading its file.
    bool IsReloading() const;
    // Selects (and so plays) the channel with that index in the list without
    // a find text, if there is one; a find text that hides it is emptied.
    void SelectRow(int index);
    // The person's own channels, shown after the station list's rows.
    CMyChannels& GetMyChannels();
    // Shows My channels again after they changed (and saves them): false
    // when they could not be saved.
    bool MyChannelsChanged();
    wxTextCtrl* GetFindBox() const { return m_pFindBox; }

    CChannelListCtrl* GetChannelList() const { return m_listChannels; }
    CWMPPlayer4* GetPlayer() const { return m_player; }
    // The channel chosen last (row -1 while none is).
    const MediaChannel& GetChosenChannel() const { return m_pSession->GetChosenChannel(); }

protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;

private:
    // What the session asks of the page.
    void OnPlaybackChanged() override;
    void OnOpening() override;
    void AddChannelsAndPlayFirst(const std::vector<CChannelRecord>& channels) override;
    void ClearRowSelection() override;
    void PlayChosenRow() override;
    void PlayNextRow() override;
    void PlayPreviousRow() override;
    // The list without a find text, for auto-play.
    int GetListCount() const override;
    std::string AddressAt(int index) const override;
    int FindAddress(const std::string& address, int near) const override;

    void OnReloadChannels(platform::CAppMessageEvent& event);
    void OnRefreshChannels(wxCommandEvent& event);
    void OnListLoaded(const wxString& note);
    // Auto-play: selects the row of the channel played last (which plays
    // it, unless it plays already).
    void AutoPlay(bool bStationListLoaded);
    MediaChannel ChannelOfRow(int row) const;
    void OnListItemChanged(wxListEvent& event);
    void OnListKeyDown(wxListEvent& event);
    void OnFindText(wxCommandEvent& event);
    void OnFindEnter(wxCommandEvent& event);
    void OnFindKeyDown(wxKeyEvent& event);
    void OnPageCharHook(wxKeyEvent& event);
    void OnAddChannel(wxCommandEvent& event);
    void OnListItemActivated(wxListEvent& event);
    // Plays the row (selecting it), unless it is the one playing already.
    void PlayRow(int row);
    void OnDisplayNonWorkingChannels(wxCommandEvent& event);
    void OnPlay(wxCommandEvent& event);
    void OnStop(wxCommandEvent& event);
    void OnNextChannel(wxCommandEvent& event);
    void OnPreviousChannel(wxCommandEvent& event);
    void OnStatusChange(wxCommandEvent& event);
    // The player's status text, and the note on a shortened list after it.
    void ShowStatusText();
    void OnHotKey(platform::CAppMessageEvent& event);
    bool OnClose(bool deleteWindow) override;

    CPlaybackSession* m_pSession;
    std::unique_ptr<CPlaybackSession> m_pOwnSession; // where the program made none
    CChannelListCtrl* m_listChannels = nullptr;
    CWMPPlayer4* m_player = nullptr;
    wxCheckBox* m_pNonWorkingBox = nullptr;
    wxTextCtrl* m_pFindBox = nullptr;
    std::unique_ptr<CMyChannelRows> m_pMine;
    std::unique_ptr<CChannelListRefresh> m_pRefresh;
    bool m_bEnterHandled = false; // Enter in the list, until the events it gives are handled
    bool m_bDisplayNonWorking = false;
    wxString m_strListNote; // why the list shows fewer channels than its file holds

    wxDECLARE_DYNAMIC_CLASS(CWavecrestView);
    wxDECLARE_EVENT_TABLE();
};
