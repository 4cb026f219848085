#include "frame/TrayMenu.h"

#include "core/Identifiers.h"
#include "core/Settings.h"

#include <wx/menu.h>

#include <algorithm>

namespace
{
const char kHiddenItemsSetting[] = "TrayMenuHiddenItems";

// The hidden items as bits, one per item position.
int BitOf(int command)
{
    const auto& items = TrayMenuItems();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].command == command && command != 0)
            return 1 << i;
    return 0;
}

bool IsHidden(const std::vector<int>& hidden, const TrayMenuItem& item)
{
    return !item.alwaysShown &&
           std::find(hidden.begin(), hidden.end(), item.command) != hidden.end();
}
} // namespace

const std::vector<TrayMenuItem>& TrayMenuItems()
{
    static const std::vector<TrayMenuItem> items = {
        {wc::ID_TRAY_EXIT, "Exit", true},
        {0, "", true},
        {wc::ID_TRAY_CUSTOMIZE_MENU, "Customize Menu...", true},
        {wc::ID_TRAY_SHOW, "Show", false},
        {0, "", true},
        {wc::ID_TRAY_STOP, "Stop", false},
        {wc::ID_TRAY_PLAY, "Play", false},
        {wc::ID_TRAY_PLAY_PREVIOUS, "Play Previous Channel", false},
        {wc::ID_TRAY_PLAY_NEXT, "Play Next Channel", false},
    };
    return items;
}

std::vector<int> LoadHiddenTrayCommands()
{
    const int bits = GetWorkspaceInt(kHiddenItemsSetting, 0);
    std::vector<int> hidden;
    for (const TrayMenuItem& item : TrayMenuItems())
        if (item.command != 0 && !item.alwaysShown && (bits & BitOf(item.command)))
            hidden.push_back(item.command);
    return hidden;
}

bool StoreHiddenTrayCommands(const std::vector<int>& hidden)
{
    int bits = 0;
    for (int command : hidden)
        bits |= BitOf(command);
    return WriteWorkspaceInt(kHiddenItemsSetting, bits);
}

std::vector<TrayMenuItem> VisibleTrayMenuItems(const std::vector<int>& hidden)
{
    std::vector<TrayMenuItem> visible;
    bool separatorPending = false;
    for (const TrayMenuItem& item : TrayMenuItems())
    {
        if (item.command == 0)
        {
            separatorPending = !visible.empty();
            continue;
        }
        if (IsHidden(hidden, item))
            continue;
        if (separatorPending)
            visible.push_back(TrayMenuItem{0, "", true});
        separatorPending = false;
        visible.push_back(item);
    }
    return visible;
}

wxMenu* BuildTrayMenu(const std::vector<int>& hidden)
{
    auto* menu = new wxMenu();
    for (const TrayMenuItem& item : VisibleTrayMenuItems(hidden))
    {
        if (item.command == 0)
            menu->AppendSeparator();
        else
            menu->Append(item.command, item.text);
    }
    return menu;
}
