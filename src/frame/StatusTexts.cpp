#include "frame/StatusTexts.h"

namespace
{
constexpr size_t kMaxTooltip = 127;
}

wxString TrayTooltip(const wxString& title, const wxString& text)
{
    wxString tooltip = text.empty() ? title : title + "\n" + text;
    if (tooltip.length() > kMaxTooltip)
        tooltip.Truncate(kMaxTooltip);
    return tooltip;
}

std::optional<StatusPaneTexts> StatusPaneTextsFor(int category, const wxString& currentStatus)
{
    const wxString contactDescription =
        "Questions or suggestions? Write to us at support@tolvane.example";
    const wxString visitSite = "Find more software utilities at www.tolvane.example";
    switch (category)
    {
    case 0:
    case 4: // the station directory plays through the radio page's player
        return StatusPaneTexts{"This Pane Displays Current Status", currentStatus,
                               contactDescription, "Contact Us"};
    case 1:
        return StatusPaneTexts{"Get More Software Utilities", visitSite, contactDescription,
                               "Contact Us"};
    case 2:
        return StatusPaneTexts{"Download More Software Utilities", visitSite, contactDescription,
                               "Contact Us"};
    case 3:
        return StatusPaneTexts{"Buy Computer Parts at Discounted Prices",
                               "Buy computer parts at discounted prices at "
                               "https://store.tolvane.example/",
                               contactDescription, "Contact Us"};
    default:
        return std::nullopt;
    }
}
