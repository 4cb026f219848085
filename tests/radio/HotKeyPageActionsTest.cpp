// The rows of the hot-key settings page: which action each row stands for,
// the controls of the row and its two failure texts.

#include "radio/HotKeyPageActions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(HotKeyPageRows, FollowTheOrderOfTheHotKeyActions)
{
    const auto& rows = HotKeyPageActions();
    ASSERT_EQ(rows.size(), HotKeyActions().size());
    for (std::size_t row = 0; row < rows.size(); ++row)
    {
        EXPECT_STREQ(rows[row].action.stem, HotKeyActions()[row].stem) << row;
        EXPECT_EQ(rows[row].action.id, HotKeyActions()[row].id) << row;
    }
    EXPECT_STREQ(rows[kRowPlay].action.stem, "Play");
    EXPECT_STREQ(rows[kRowPlayNext].action.stem, "Play Next");
    EXPECT_STREQ(rows[kRowPlayPrev].action.stem, "Play Prev");
    EXPECT_STREQ(rows[kRowStop].action.stem, "Stop");
}

TEST(HotKeyPageRows, UseTheHotKeyIdsOneToFour)
{
    const auto& rows = HotKeyPageActions();
    EXPECT_EQ(rows[kRowPlay].action.id, 1);
    EXPECT_EQ(rows[kRowPlayNext].action.id, 2);
    EXPECT_EQ(rows[kRowPlayPrev].action.id, 3);
    EXPECT_EQ(rows[kRowStop].action.id, 4);
}

TEST(HotKeyPageRows, HaveTheControlsOfTheirRowOnTheForm)
{
    const auto& rows = HotKeyPageActions();
    for (std::size_t row = 0; row < rows.size(); ++row)
    {
        const int offset = static_cast<int>(row);
        EXPECT_EQ(rows[row].hotKeyCtrlId, 1010 + offset) << row;
        EXPECT_EQ(rows[row].assignButtonId, 1014 + offset) << row;
        EXPECT_EQ(rows[row].clearButtonId, 1018 + offset) << row;
    }
}

TEST(HotKeyPageRows, ReportAFailedRegistrationWithTheActionsOwnText)
{
    const auto& rows = HotKeyPageActions();
    EXPECT_STREQ(rows[kRowPlay].loadFailure, "Failed to Load HotKey for Playing Channel.");
    EXPECT_STREQ(rows[kRowPlayNext].loadFailure, "Failed to Load HotKey for Playing Next Channel.");
    EXPECT_STREQ(rows[kRowPlayPrev].loadFailure,
                 "Failed to Load HotKey for Playing Previous Channel.");
    EXPECT_STREQ(rows[kRowStop].loadFailure, "Failed to Load HotKey to Stop Playing Channel.");
}

TEST(HotKeyPageRows, ReportAFailedStoreWithTheActionsOwnText)
{
    const auto& rows = HotKeyPageActions();
    EXPECT_STREQ(rows[kRowPlay].storeFailure, "Failed to Store HotKey to Play Channel.");
    EXPECT_STREQ(rows[kRowPlayNext].storeFailure, "Failed to Store HotKey to Play Next Channel.");
    EXPECT_STREQ(rows[kRowPlayPrev].storeFailure,
                 "Failed to Store HotKey to Play Previous Channel.");
    EXPECT_STREQ(rows[kRowStop].storeFailure, "Failed to Store HotKey to Stop Playing.");
}

TEST(HotKeyPageRows, HaveEightDifferentTextsWithoutPlaceholders)
{
    std::set<std::string> texts;
    for (const HotKeyPageAction& row : HotKeyPageActions())
    {
        texts.insert(row.loadFailure);
        texts.insert(row.storeFailure);
    }
    EXPECT_EQ(texts.size(), 8u);
    for (const std::string& text : texts)
        EXPECT_EQ(text.find('%'), std::string::npos) << text;
}
