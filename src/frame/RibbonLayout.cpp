#include "frame/RibbonLayout.h"

#include "core/Identifiers.h"

#include <map>

namespace
{
using K = RibbonElementKind;

// Each string resource: the description, a line break, the tooltip.
const std::map<int, const char*> kStringTable = {
    {wc::ID_REFRESH_CHANNELS,
     "Press this button to Refresh Radio Channels List.\nRefresh Radio Channels List"},
    {wc::ID_STOP, "Press this button to Stop currently playing radio channel.\nStop Radio"},
    {wc::ID_PLAY, "Press this button to play currently selected Radio Channel\nPlay Radio"},
    {wc::ID_PLAY_NEXT, "Press this button to play Next Radio Station from the list or press F9 to "
                       "Play Next Channel when this Window is Active.\nPlay Next Radio Channel"},
    {wc::ID_PLAY_PREVIOUS,
     "Press this button to play Previous Radio Station from the list or Press F8 to Play Previous "
     "Channel from the list when this Window is Active.\nPlay Previous Radio Channel"},
    {wc::ID_AUTO_START, "Start this Application when Windows Starts and Keep it in System "
                        "Tray.\nStart Application at Windows Startup"},
    {wc::ID_AUTO_PLAY, "Play Last Channel Automatically on Application Startup.\nAuto Play"},
    {wc::ID_HIDE_TO_TRAY, "Hide Main Application Window. You can Restore Window using System Tray "
                          "Menu of the Application.\nHide Window to System Tray"},
    {wc::ID_DISPLAY_RADIO, "Refresh the Channels List below and Hide or Display Radio Channels in "
                           "the List.\nDisplay or Hide Radio Channels"},
    {wc::ID_DISPLAY_TV, "Refresh the Channels List below and Hide or Display TV Channels in the "
                        "List.\nDisplay or Hide TV Channels"},
    {wc::ID_ADD_CHANNEL, "Add a channel of your own by its stream address to My channels, "
                         "which follow the station list in the Channels List.\nAdd Channel"},
    {wc::ID_ADD_TO_MY_CHANNELS, "Keep the selected station of the directory in My channels "
                                "(Ctrl+D).\nAdd to My Channels"},
    {wc::ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
};
} // namespace

const std::vector<RibbonCategoryLayout>& RibbonCategories()
{
    static const std::vector<RibbonCategoryLayout> categories = {
        {"Wavecrest Player",
         {{"Radio Controls",
           {{"Play", K::Button, wc::ID_PLAY, 1, 1},
            {"Play Next", K::Button, wc::ID_PLAY_NEXT, 11, 3},
            {"Play Previous", K::Button, wc::ID_PLAY_PREVIOUS, 12, 4},
            {"Stop", K::Button, wc::ID_STOP, 0, 0}}},
          {"Channel Management",
           {{"Refresh Channels List", K::Button, wc::ID_REFRESH_CHANNELS, 4, 2}}},
          {"Application Management",
           {{"Hide to System Tray", K::Button, wc::ID_HIDE_TO_TRAY, 13, 5},
            {"Display Radio Channels", K::CheckBox, wc::ID_DISPLAY_RADIO, -1, -1},
            {"Display TV Channels", K::CheckBox, wc::ID_DISPLAY_TV, -1, -1}}},
          {"My Channels", {{"Add Channel...", K::Button, wc::ID_ADD_CHANNEL, 14, 6}}}}},
        {"Settings",
         {{"Radio Control",
           {{"Auto Startup with Windows", K::CheckBox, wc::ID_AUTO_START, -1, -1},
            {"Play Last Channel Automatically", K::CheckBox, wc::ID_AUTO_PLAY, -1, -1}}}}},
        {"More Softwares",
         {{"Navigation",
           {{"Open In New Window", K::Button, wc::ID_PROMO_OPEN_IN_BROWSER, 15, 7},
            {"Refresh", K::Button, wc::ID_PROMO_REFRESH, 16, 8}}}}},
        {"Buy Hardware",
         {{"Navigation",
           {{"Open In New Window", K::Button, wc::ID_STORE_OPEN_IN_BROWSER, 15, 7},
            {"Refresh", K::Button, wc::ID_STORE_REFRESH, 16, 8}}}}},
        {"Station Directory",
         {{"Station",
           {{"Play", K::Button, wc::ID_PLAY, 1, 1},
            {"Add to My Channels", K::Button, wc::ID_ADD_TO_MY_CHANNELS, 17, 9}}}}},
    };
    return categories;
}

std::optional<CommandPrompt> CommandPromptFor(int command)
{
    const auto entry = kStringTable.find(command);
    if (entry == kStringTable.end())
        return std::nullopt;
    const std::string text = entry->second;
    const auto lineBreak = text.find('\n');
    if (lineBreak == std::string::npos)
        return CommandPrompt{text, std::string()};
    return CommandPrompt{text.substr(0, lineBreak), text.substr(lineBreak + 1)};
}
