#pragma once
// The one owner of the radio page's station list: a refresh downloads a fresh
// list (the modal download dialog), loads the file and fills the list's rows.
// The page's opening, its Refresh command and its radio/TV filters all run
// it; the main frame only offers the command.
//
// A load reads the file in slices of a few tens of milliseconds, driven by a
// timer, so that the window keeps answering while a very large list is
// read; a list of ordinary size is read whole within the first slice.

#include <wx/event.h>
#include <wx/string.h>
#include <wx/timer.h>

#include <functional>
#include <memory>

class CChannelListCtrl;
class CStationList;
class wxBusyCursor;
class wxWindow;

class CChannelListRefresh : public wxEvtHandler
{
public:
    // The dialog's window, the list it fills, and what runs once a list has
    // been loaded into it (with the note on a shortened list, "" for none).
    CChannelListRefresh(wxWindow* pDialogParent, CChannelListCtrl& list,
                        std::function<void(const wxString& strNote)> onLoaded);
    ~CChannelListRefresh() override;

    // Downloads a fresh list and loads it; a failed download shows its
    // message and leaves the list as it is. Asked for while the download
    // dialog runs, it runs once more after it.
    void Refresh();
    // Loads the station-list file the last download left (without a file the
    // list stays as it is). A load still under way is given up for the new one.
    void Reload();
    bool IsReloading() const { return m_pLoading != nullptr; }
    void StopReload();
    // Has the page's Display Radio and Display TV commands handled here:
    // each toggles its setting and refreshes the list with the new filter.
    void HandleFilterCommands(wxEvtHandler& page);

private:
    void OnToggleRadio(wxCommandEvent& event);
    void OnToggleTv(wxCommandEvent& event);
    void OnUpdateRadio(wxUpdateUIEvent& event);
    void OnUpdateTv(wxUpdateUIEvent& event);
    void AskForRefresh();
    void OnReloadTimer(wxTimerEvent& event);
    void ContinueReload();
    void FillList(CStationList& stationList);

    wxWindow* m_pDialogParent;
    wxEvtHandler* m_pPage = nullptr; // where the filter commands come
    CChannelListCtrl& m_list;
    std::function<void(const wxString&)> m_onLoaded;
    std::unique_ptr<CStationList> m_pLoading; // the station list of a load under way
    std::unique_ptr<wxBusyCursor> m_pBusyCursor;
    wxTimer m_reloadTimer;
    bool m_bDownloading = false;
    bool m_bRefreshAgain = false;
    // False once this object is gone: a refresh whose dialog outlived the
    // page finds out after the dialog has returned.
    std::shared_ptr<bool> m_pAlive;
};
