#include "frame/PageTable.h"

const std::vector<PageEntry>& Pages()
{
    // The station directory plays through the radio page's player: its
    // pane shows the player's status too.
    static const std::vector<PageEntry> pages = {
        {0, "Wavecrest Player", "This Pane Displays Current Status", nullptr, "Wavecrest",
         "Wavecrest.Document", "CWavecrestDoc", "CWavecrestView", true},
        {1, "Settings", "Get More Software Utilities",
         "Find more software utilities at www.tolvane.example", "Wavecrest", "Wavecrest.Document",
         "CRadioSettingsDoc", "CRadioSettingsView", false},
        {2, "More Softwares", "Download More Software Utilities",
         "Find more software utilities at www.tolvane.example", "Promo", "Promo.Document",
         "CPromoDoc", "CPromoView", false},
        {3, "Buy Hardware", "Buy Computer Parts at Discounted Prices",
         "Buy computer parts at discounted prices at https://store.tolvane.example/", "Hardware",
         "Hardware.Document", "CHardwareStoreDoc", "CHardwareStoreView", false},
        {4, "Station Directory", "This Pane Displays Current Status", nullptr, "Station Directory",
         "Directory.Document", "CStationDirectoryDoc", "CStationDirectoryView", false},
    };
    return pages;
}

const PageEntry* PageAt(int index)
{
    const auto& pages = Pages();
    return index >= 0 && index < static_cast<int>(pages.size()) ? &pages[index] : nullptr;
}

int RadioPageIndex()
{
    for (const PageEntry& page : Pages())
        if (page.isRadioPage)
            return page.index;
    return 0;
}
