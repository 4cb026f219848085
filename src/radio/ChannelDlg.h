#pragma once
// The dialog of a channel of the person's own: a name, a stream address and
// Radio or TV. OK checks the address by the rules of playback and, when the
// player would refuse it, says why and keeps the dialog open.

#include "catalogue/ChannelRecord.h"

#include <wx/dialog.h>

class wxRadioBox;
class wxTextCtrl;

class CChannelDlg : public wxDialog
{
public:
    // `channel` fills the fields (an empty record: a new channel).
    CChannelDlg(wxWindow* parent, const wxString& title, const CChannelRecord& channel);

    // The channel as entered (valid once the dialog ended with wxID_OK).
    CChannelRecord GetChannel() const { return m_channel; }

    // Why the player would refuse the address ("" when it accepts it).
    static wxString AddressProblem(const wxString& address);

private:
    void OnOk(wxCommandEvent& event);

    wxTextCtrl* m_pName = nullptr;
    wxTextCtrl* m_pAddress = nullptr;
    wxRadioBox* m_pType = nullptr;
    CChannelRecord m_original;
    CChannelRecord m_channel;
};
