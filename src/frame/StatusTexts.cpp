#include "frame/StatusTexts.h"

#include "frame/PageTable.h"

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
    const PageEntry* page = PageAt(category);
    if (!page)
        return std::nullopt;
    return StatusPaneTexts{
        page->statusDescription, page->statusText ? wxString(page->statusText) : currentStatus,
        "Questions or suggestions? Write to us at support@tolvane.example", "Contact Us"};
}
