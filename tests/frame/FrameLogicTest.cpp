// The main window's rules that need no window: looks, texts, tray menu, ribbon table.

#include "core/Identifiers.h"
#include "frame/ApplicationLook.h"
#include "frame/RibbonLayout.h"
#include "frame/StatusTexts.h"
#include "frame/TrayMenu.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

TEST(ApplicationLook, TheButtonCyclesThroughTheOffice2007Looks)
{
    EXPECT_EQ(NextApplicationLook(215), 216u);
    EXPECT_EQ(NextApplicationLook(217), 218u);
    EXPECT_EQ(NextApplicationLook(218), 215u);
    EXPECT_EQ(NextApplicationLook(214), 215u);
    EXPECT_EQ(NextApplicationLook(210), 211u);
    EXPECT_EQ(NextApplicationLook(300), 215u);
    EXPECT_EQ(NextApplicationLook(0), 1u) << "below the looks it just steps upwards";
    EXPECT_EQ(NextApplicationLook(0xFFFFFFFFu), 0u) << "unsigned: wraps to 0, which is <= 218";
}

TEST(ApplicationLook, EveryLookLooksDifferentAndUnknownOnesKeepTheScheme)
{
    std::set<std::string> schemes;
    for (std::uint32_t look = kFirstLook; look <= kLastLook; ++look)
    {
        const LookStyle style = StyleForLook(look);
        EXPECT_TRUE(style.setsScheme) << look;
        schemes.insert(style.primary.GetAsString(wxC2S_HTML_SYNTAX).utf8_string() +
                       style.secondary.GetAsString(wxC2S_HTML_SYNTAX).utf8_string());
        EXPECT_NE(std::string(LookMenuText(look)), "") << look;
    }
    EXPECT_EQ(schemes.size(), 9u);
    EXPECT_EQ(StyleForLook(215).art, RibbonArt::Office);
    EXPECT_EQ(StyleForLook(210).art, RibbonArt::Flat);
    EXPECT_FALSE(StyleForLook(300).setsScheme);
    EXPECT_EQ(StyleForLook(300).art, RibbonArt::Office);
    EXPECT_EQ(std::string(LookMenuText(216)), "Office 2007 (B&lack Style)");
}

TEST(TrayTooltip, IsTheTitleAloneOrTheTitleAndTheTextCutTo127Characters)
{
    EXPECT_EQ(TrayTooltip("Wavecrest by Tolvane", ""), "Wavecrest by Tolvane");
    EXPECT_EQ(TrayTooltip("Wavecrest by Tolvane", "Playing"), "Wavecrest by Tolvane\nPlaying");
    EXPECT_EQ(TrayTooltip("T", "100% %s %d"), "T\n100% %s %d");
    const wxString tip = TrayTooltip("Wavecrest by Tolvane", wxString('x', 300));
    EXPECT_EQ(tip.length(), 127u);
    EXPECT_TRUE(tip.StartsWith("Wavecrest by Tolvane\nxxx"));
}

TEST(StatusPanes, TheStoredCategoryChoosesTheTexts)
{
    const auto radio = StatusPaneTextsFor(0, "Playing Jazz");
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->statusDescription, "This Pane Displays Current Status");
    EXPECT_EQ(radio->statusText, "Playing Jazz");
    EXPECT_EQ(radio->contactText, "Contact Us");
    EXPECT_TRUE(radio->contactDescription.Contains("support@tolvane.example"));

    const auto settings = StatusPaneTextsFor(1, "ignored");
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->statusDescription, "Get More Software Utilities");
    EXPECT_TRUE(settings->statusText.Contains("www.tolvane.example"));
    EXPECT_EQ(StatusPaneTextsFor(2, "")->statusDescription, "Download More Software Utilities");
    EXPECT_EQ(StatusPaneTextsFor(2, "")->statusText, settings->statusText);
    const auto store = StatusPaneTextsFor(3, "");
    EXPECT_EQ(store->statusDescription, "Buy Computer Parts at Discounted Prices");
    EXPECT_TRUE(store->statusText.Contains("store.tolvane.example"));
    // The station directory plays through the radio page, whose status it shows.
    EXPECT_EQ(StatusPaneTextsFor(4, "Playing Jazz")->statusText, "Playing Jazz");
    EXPECT_FALSE(StatusPaneTextsFor(5, "x"));
    EXPECT_FALSE(StatusPaneTextsFor(-1, "x"));
}

TEST(TrayMenu, ShowsTheItemsInOrderWithShowAndExit)
{
    const auto items = VisibleTrayMenuItems({});
    std::vector<std::string> texts;
    for (const TrayMenuItem& item : items)
        texts.push_back(item.command == 0 ? "-" : item.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Exit", "-", "Customize Menu...", "Show", "-", "Stop",
                                        "Play", "Play Previous Channel", "Play Next Channel"}));
    EXPECT_EQ(items[0].command, wc::ID_TRAY_EXIT);
    EXPECT_EQ(items[3].command, wc::ID_TRAY_SHOW);
    EXPECT_EQ(items[6].command, wc::ID_TRAY_PLAY);
}

TEST(TrayMenu, HiddenItemsAreLeftOutButExitAndCustomizeStay)
{
    CTempHome home;
    ASSERT_TRUE(
        StoreHiddenTrayCommands({wc::ID_TRAY_STOP, wc::ID_TRAY_PLAY, wc::ID_TRAY_PLAY_PREVIOUS,
                                 wc::ID_TRAY_PLAY_NEXT, wc::ID_TRAY_EXIT}));
    const std::vector<int> hidden = LoadHiddenTrayCommands();
    EXPECT_EQ(hidden.size(), 4u) << "Exit can never be hidden";
    std::vector<std::string> texts;
    for (const TrayMenuItem& item : VisibleTrayMenuItems(hidden))
        texts.push_back(item.command == 0 ? "-" : item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Exit", "-", "Customize Menu...", "Show"}));
}

TEST(RibbonLayout, HoldsTheFiveCategoriesWithTheirPanelsAndCommands)
{
    const auto& categories = RibbonCategories();
    ASSERT_EQ(categories.size(), 5u);
    std::vector<std::string> captions;
    for (const auto& category : categories)
        captions.push_back(category.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Wavecrest Player", "Settings", "More Softwares",
                                                  "Buy Hardware", "Station Directory"}));
    const auto& radioControls = categories[0].panels[0];
    EXPECT_STREQ(radioControls.caption, "Radio Controls");
    ASSERT_EQ(radioControls.elements.size(), 4u);
    EXPECT_EQ(radioControls.elements[3].command, wc::ID_STOP);
    EXPECT_EQ(radioControls.elements[3].smallImage, 0);
    EXPECT_EQ(categories[1].panels[0].elements[0].kind, RibbonElementKind::CheckBox);
}

TEST(RibbonLayout, GivesEveryButtonImagesOfItsOwnInBothSizes)
{
    // A button's caption names what it does: one caption, one pair of images.
    std::map<std::pair<int, int>, std::string> captionOfImages;
    for (const auto& category : RibbonCategories())
        for (const auto& panel : category.panels)
            for (const RibbonElement& element : panel.elements)
            {
                if (element.kind != RibbonElementKind::Button)
                    continue;
                EXPECT_GE(element.smallImage, 0) << element.caption;
                EXPECT_GE(element.largeImage, 0) << element.caption;
                const auto [entry, added] = captionOfImages.emplace(
                    std::make_pair(element.smallImage, element.largeImage), element.caption);
                EXPECT_TRUE(added || entry->second == element.caption)
                    << element.caption << " looks like " << entry->second;
            }
    EXPECT_EQ(captionOfImages.size(), 10u);
}

TEST(RibbonLayout, PromptsSplitIntoDescriptionAndTooltip)
{
    const auto play = CommandPromptFor(wc::ID_PLAY);
    ASSERT_TRUE(play);
    EXPECT_EQ(play->description, "Press this button to play currently selected Radio Channel");
    EXPECT_EQ(play->tooltip, "Play Radio");
    EXPECT_EQ(CommandPromptFor(wc::ID_APP_ABOUT)->tooltip, "About");
    for (int command : {wc::ID_PROMO_OPEN_IN_BROWSER, wc::ID_PROMO_REFRESH,
                        wc::ID_STORE_OPEN_IN_BROWSER, wc::ID_STORE_REFRESH})
        EXPECT_FALSE(CommandPromptFor(command)) << command;
}
