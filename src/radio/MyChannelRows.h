#pragma once
// My channels in the radio page's list: loaded when the page opens, shown
// after the station list's rows under the same filters, and added, edited
// and removed by the person (the channel dialog, the rows' context menu and
// Delete). Every change is saved at once.
//
// The context menu (a right click on a row, the Menu key or Shift+F10)
// offers Play, Add, Edit and Remove; Play and Add reach the page as its own
// commands, Edit and Remove act on the row the menu was opened on.

#include "playlists/MyChannels.h"

#include <wx/event.h>

#include <vector>

class CChannelListCtrl;
class CChannelRecord;
class wxContextMenuEvent;
class wxListEvent;
class wxWindow;

class CMyChannelRows : public wxEvtHandler
{
public:
    // Delete in the list posts this command to the list: the selected row goes.
    static constexpr int kRemoveChannelId = 1008;

    // Binds the context menu to the list, until Detach.
    CMyChannelRows(wxWindow* pDialogParent, CChannelListCtrl& list);
    void Detach();

    CMyChannels& Channels() { return m_channels; }
    // Loads them and shows them; a list without columns yet takes those of
    // their header.
    void Load();
    // Shows them again (the filters may have changed).
    void Show();
    // Shows them again and saves them: false when they could not be saved.
    bool Changed();
    // The channels join My channels (those whose address is there already
    // are not added again). The row of the first: -1 when the list does not
    // show it.
    int Add(const std::vector<CChannelRecord>& channels);
    // The Add Channel dialog: the row of the channel added (-1: none).
    int AddByDialog();
    // The Edit Channel dialog for the row's channel, when it is one of My channels.
    void EditByDialog(int row);
    // Asks, then removes the row's channel; the row that takes its place is
    // focused, not played.
    void Remove(int row);

private:
    void OnRightClick(wxListEvent& event);
    void OnMenuKey(wxContextMenuEvent& event);
    void OnEdit(wxCommandEvent& event);
    void OnRemove(wxCommandEvent& event);
    void ShowMenu(int row, const wxPoint& position);
    // The row a context menu was opened on (else the selected one), once.
    int TakeRow();
    // Changed, with a message when they could not be saved.
    void SaveOrReport();
    int RowOf(int own) const;

    wxWindow* m_pDialogParent;
    CChannelListCtrl& m_list;
    CMyChannels m_channels;
    int m_nContextRow = -1; // the row of an open context menu
};
