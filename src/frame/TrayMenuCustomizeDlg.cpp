#include "frame/TrayMenuCustomizeDlg.h"

#include "frame/TrayMenu.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>

// clang-format off
wxBEGIN_EVENT_TABLE(CTrayMenuCustomizeDlg, wxDialog)
    EVT_CHECKBOX(wxID_ANY, CTrayMenuCustomizeDlg::OnItemToggled)
    EVT_BUTTON(wxID_CLOSE, CTrayMenuCustomizeDlg::OnClose)
    EVT_CLOSE(CTrayMenuCustomizeDlg::OnCloseWindow)
wxEND_EVENT_TABLE()
// clang-format on

CTrayMenuCustomizeDlg::CTrayMenuCustomizeDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Customize Menu", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "IDD_CUSTOMIZE_TRAY_MENU")
{
    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(new wxStaticText(this, wxID_ANY, "Show these items in the tray menu:"),
                wxSizerFlags().Border(wxALL, 10));
    const std::vector<int> hidden = LoadHiddenTrayCommands();
    for (const TrayMenuItem& item : TrayMenuItems())
    {
        if (item.command == 0)
            continue;
        // The commands' numbers are too large for window ids.
        auto* box = new wxCheckBox(this, wxID_ANY, item.text);
        box->SetValue(std::find(hidden.begin(), hidden.end(), item.command) == hidden.end());
        box->Enable(!item.alwaysShown);
        m_items.emplace_back(item.command, box);
        layout->Add(box, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxBOTTOM, 10));
    }
    layout->Add(new wxButton(this, wxID_CLOSE), wxSizerFlags().Right().Border(wxALL, 10));
    SetSizerAndFit(layout);
    SetEscapeId(wxID_CLOSE);
}

void CTrayMenuCustomizeDlg::OnItemToggled(wxCommandEvent& /*event*/)
{
    std::vector<int> hidden;
    for (const auto& [command, box] : m_items)
        if (!box->GetValue())
            hidden.push_back(command);
    StoreHiddenTrayCommands(hidden);
}

void CTrayMenuCustomizeDlg::OnClose(wxCommandEvent& /*event*/)
{
    Destroy(); // modeless: it releases itself
}

void CTrayMenuCustomizeDlg::OnCloseWindow(wxCloseEvent& /*event*/)
{
    Destroy();
}
