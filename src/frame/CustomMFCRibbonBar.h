#pragma once
// The ribbon whose tabs switch pages: every category activation tells the
// main window which page to open (WM_USER+3 with the category's index),
// before the category itself becomes active. Its buttons and check boxes
// send ordinary commands to the main window. It builds its content from the
// ribbon's layout and draws itself in the application looks.

#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>

#include <cstdint>
#include <vector>

class CTabRowButton;

class CCustomMFCRibbonBar : public wxRibbonBar
{
public:
    explicit CCustomMFCRibbonBar(wxWindow* parent);

    // Builds the categories with their panels and elements as the ribbon's
    // layout gives them, and the tab row's Style menu and About button.
    void Build();
    // Draws the ribbon in an application look; returns the colour of its
    // tab row, which the windows around the ribbon take.
    wxColour ApplyLook(std::uint32_t look);

    // Activates a category as a click on its tab does.
    bool ActivateCategory(int index);

    // Elements placed at the right end of the tab row, in order.
    void AddTabRowElement(CTabRowButton* element);
    const std::vector<CTabRowButton*>& GetTabRowElements() const { return m_tabRowElements; }

    // A check box of a panel: a toggle button whose check mark shows what
    // its command's update handler says; a click sends the command.
    void RegisterCheckBox(wxRibbonButtonBar* bar, int command);
    // Whether the check box of that command shows its check mark.
    bool IsCheckBoxChecked(int command) const;
    std::vector<int> GetCheckBoxCommands() const;
    // The icon of a check box, drawn by the desktop's theme.
    wxBitmap CheckBoxIcon(bool checked);
    // Asks the update handlers for the check boxes' states now.
    void UpdateCheckBoxes();

private:
    // Repaints the tab-row elements in the ribbon's current colours.
    void ApplyArtColours();
    void PostCategoryActivation(int index);
    void OnPageChanging(wxRibbonBarEvent& event);
    void OnButtonClicked(wxRibbonButtonBarEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnSize(wxSizeEvent& event);
    void RealizeActivePage();
    void OnContextMenu(wxContextMenuEvent& event);
    void PlaceTabRowElements();

    std::vector<CTabRowButton*> m_tabRowElements;
    int m_nLaidOutWidth = -1; // the width the active page was last laid out for
    struct CheckBox
    {
        wxRibbonButtonBar* bar;
        int command;
        bool checked;
    };
    std::vector<CheckBox> m_checkBoxes;

    wxDECLARE_EVENT_TABLE();
};
