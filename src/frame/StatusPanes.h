#pragma once
// The main window's status bar: the status pane on the left shows what the
// player is doing, the contact pane ends the bar on the right. Each pane is
// as wide as its reference text (81 and 28 capital X), and a gap between them
// takes the rest of the bar; when the window is too narrow for both, the
// status pane gives way. The pane under the mouse shows its description as
// the tooltip.

#include <wx/statusbr.h>

class CStatusPanes : public wxStatusBar
{
public:
    enum class Pane
    {
        Status,
        Contact
    };

    explicit CStatusPanes(wxWindow* parent);

    // Shows the panes' texts for the stored ribbon category 0 to 3 and the
    // player's current status; any other category leaves the panes as they are.
    void ShowTextsFor(int category, const wxString& currentStatus);

    wxString GetPaneText(Pane pane) const;
    const wxString& GetPaneDescription(Pane pane) const;
    // Where the pane is in the bar, and the widest it is made.
    wxRect GetPaneRect(Pane pane) const;
    int GetPaneReferenceWidth(Pane pane) const;

private:
    void FitPanes();
    void OnSize(wxSizeEvent& event);
    void OnMotion(wxMouseEvent& event);

    wxString m_descriptions[2];
    int m_referenceWidths[2];
};
