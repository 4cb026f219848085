#pragma once
// "Customize Menu...": a modeless dialog in which the user picks the items
// the tray menu shows. The choice is kept at once.

#include <wx/dialog.h>

#include <vector>

class wxCheckBox;

class CTrayMenuCustomizeDlg : public wxDialog
{
public:
    explicit CTrayMenuCustomizeDlg(wxWindow* parent);

private:
    void OnItemToggled(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);

    std::vector<std::pair<int, wxCheckBox*>> m_items;

    wxDECLARE_EVENT_TABLE();
};
