#pragma once
// The texts of the tray tooltip and of the two status-bar panes.

#include <wx/string.h>

#include <optional>

// The tray tooltip: the title alone, or the title, a line break and the text;
// at most 127 characters. The text is taken literally ('%' stays '%').
wxString TrayTooltip(const wxString& title, const wxString& text);

struct StatusPaneTexts
{
    wxString statusDescription;
    wxString statusText;
    wxString contactDescription;
    wxString contactText;
};

// The panes' texts for the page of the stored ribbon category (see
// PageTable.h); nothing for any other value (the panes stay as they are).
std::optional<StatusPaneTexts> StatusPaneTextsFor(int category, const wxString& currentStatus);
