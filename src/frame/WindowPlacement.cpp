#include "frame/WindowPlacement.h"

#include "core/Settings.h"

#include <algorithm>

namespace
{
const char kLeft[] = "MainWindowLeft";
const char kTop[] = "MainWindowTop";
const char kWidth[] = "MainWindowWidth";
const char kHeight[] = "MainWindowHeight";
constexpr int kMissing = -0x7fffffff;
} // namespace

std::optional<wxRect> LoadWindowPlacement()
{
    const wxRect rect(GetWorkspaceInt(kLeft, kMissing), GetWorkspaceInt(kTop, kMissing),
                      GetWorkspaceInt(kWidth, kMissing), GetWorkspaceInt(kHeight, kMissing));
    if (rect.x == kMissing || rect.y == kMissing || rect.width <= 0 || rect.height <= 0)
        return std::nullopt;
    return rect;
}

void StoreWindowPlacement(const wxRect& rect)
{
    WriteWorkspaceInt(kLeft, rect.x);
    WriteWorkspaceInt(kTop, rect.y);
    WriteWorkspaceInt(kWidth, rect.width);
    WriteWorkspaceInt(kHeight, rect.height);
}

wxRect FitRectToArea(const wxRect& stored, const wxRect& area)
{
    if (area.IsEmpty())
        return stored;
    wxRect fitted = stored;
    fitted.width = std::min(fitted.width, area.width);
    fitted.height = std::min(fitted.height, area.height);
    fitted.x = std::clamp(fitted.x, area.x, area.GetRight() - fitted.width + 1);
    fitted.y = std::clamp(fitted.y, area.y, area.GetBottom() - fitted.height + 1);
    return fitted;
}
