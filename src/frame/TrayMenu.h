#pragma once
// The tray menu (menu 311): its items in order, which of them the user has
// chosen to show, and building the menu.

#include <vector>

class wxMenu;

struct TrayMenuItem
{
    int command; // 0 for a separator
    const char* text;
    bool alwaysShown; // Exit and Customize Menu... can never be hidden
};

const std::vector<TrayMenuItem>& TrayMenuItems();

// The commands the user has hidden, kept in [Workspace].
std::vector<int> LoadHiddenTrayCommands();
bool StoreHiddenTrayCommands(const std::vector<int>& hidden);

// The items that are not hidden, in order (command 0 for a separator);
// separators never stand at either end or twice in a row.
std::vector<TrayMenuItem> VisibleTrayMenuItems(const std::vector<int>& hidden);

// The menu of those items.
wxMenu* BuildTrayMenu(const std::vector<int>& hidden);
