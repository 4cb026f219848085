#include "radio/ChannelDlg.h"

#include "core/Identifiers.h"
#include "core/StreamAddress.h"
#include "platform/ModalDialogs.h"
#include "playlists/MyChannels.h"

#include <wx/button.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CChannelDlg::CChannelDlg(wxWindow* parent, const wxString& title, const CChannelRecord& channel)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "ChannelDlg"),
      m_original(channel)
{
    auto* fields = new wxFlexGridSizer(2, wxSize(8, 8));
    fields->AddGrowableCol(1);
    fields->Add(new wxStaticText(this, wxID_ANY, "&Name:"), wxSizerFlags().CenterVertical());
    m_pName = new wxTextCtrl(this, wxID_ANY, channel.GetName(), wxDefaultPosition, wxSize(360, -1),
                             0, wxDefaultValidator, "ChannelName");
    fields->Add(m_pName, wxSizerFlags().Expand());
    fields->Add(new wxStaticText(this, wxID_ANY, "Stream &address:"),
                wxSizerFlags().CenterVertical());
    m_pAddress = new wxTextCtrl(this, wxID_ANY, channel.GetUrl(), wxDefaultPosition, wxDefaultSize,
                                0, wxDefaultValidator, "ChannelAddress");
    fields->Add(m_pAddress, wxSizerFlags().Expand());

    const wxString types[] = {"&Radio", "&TV"};
    m_pType = new wxRadioBox(this, wxID_ANY, "Type", wxDefaultPosition, wxDefaultSize, 2, types);
    m_pType->SetSelection(EqualsNoCase(ToUtf8(channel.GetType()), "TV") ? 1 : 0);

    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(fields, wxSizerFlags().Expand().Border(wxALL, 10));
    layout->Add(m_pType, wxSizerFlags().Border(wxLEFT | wxRIGHT, 10));
    layout->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL),
                wxSizerFlags().Expand().Border(wxALL, 10));
    SetSizerAndFit(layout);
    Bind(wxEVT_BUTTON, &CChannelDlg::OnOk, this, wxID_OK);
    m_pName->SetFocus();
}

wxString CChannelDlg::AddressProblem(const wxString& address)
{
    if (IsNetworkStreamAddress(ToUtf8(address)))
        return wxString();
    return "Wavecrest plays only network streams: the address must start with http://, "
           "https://, mms://, mmsh://, rtsp://, rtmp:// or rtmps:// and name a server.";
}

void CChannelDlg::OnOk(wxCommandEvent& event)
{
    const wxString address = m_pAddress->GetValue().Strip(wxString::both);
    const wxString problem = AddressProblem(address);
    if (!problem.empty())
    {
        platform::MessageBox("The stream address \"" + address + "\" cannot be played.\n\n" +
                                 problem,
                             wc::kAppTitle, wxOK | wxICON_WARNING, this);
        m_pAddress->SetFocus();
        return;
    }
    wxString name = m_pName->GetValue().Strip(wxString::both);
    if (name.empty())
        name = address;
    const bool tv = m_pType->GetSelection() == 1;
    m_channel = CMyChannels::MakeChannel(ToUtf8(name), ToUtf8(address), tv);
    // What the dialog does not show stays as it was.
    for (const int field :
         {CChannelRecord::kField3, CChannelRecord::kField4, CChannelRecord::kField5})
        m_channel.SetField(field, m_original.GetField(field));
    if (!m_original.GetStatus().empty())
        m_channel.SetField(CChannelRecord::kStatus, m_original.GetStatus());
    event.Skip(); // ends the dialog
}
