// Finding in the channel list as the person types: case and accents do not
// count, a match stays within one text, and whatever was typed before (on,
// back, or something else altogether) the rows are those of a fresh search.

#include "radio/ChannelFinder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace
{
using Rows = CChannelFinder::Rows;

struct Row
{
    std::string name, about, genre;
};

// A few named rows among many others, as a long list has them.
std::vector<Row> ListRows()
{
    std::vector<Row> rows = {
        {"Caf\xC3\xA9 Ol\xC3\xA9", "Jazz", "Paris"},  // 0
        {"CAFE NOIR", "", ""},                        // 1
        {"K\xC3\xB6lner Dom", "Rock", "K\xC3\xB6ln"}, // 2
        {"Radio Koln", "News", "K\xC3\x96LN"},        // 3
        {"M\xC3\xBAsica Libre", "Latin", "Madrid"},   // 4
        {"caf", "e", "noir"},                         // 5: "cafe" spans two texts
        {"Stra\xC3\x9F"
         "e 7",
         "Schlager", ""}, // 6: sharp s folds to "ss"
    };
    for (int n = 0; n < 400; ++n)
        rows.push_back({"Station " + std::to_string(n), "Pop", "Genre " + std::to_string(n % 7)});
    return rows;
}

void Fill(CChannelFinder& finder, const std::vector<Row>& rows)
{
    finder.Clear();
    for (const Row& row : rows)
        finder.AddRow({row.name, row.about, row.genre});
}

Rows FreshFind(const std::string& text)
{
    CChannelFinder finder;
    Fill(finder, ListRows());
    return finder.Find(text);
}
} // namespace

TEST(ChannelFinder, FindsWithoutRegardToCaseOrAccentsAndOnlyWithinOneText)
{
    EXPECT_EQ(FreshFind("cAf\xC3\x89"), (Rows{0, 1}));
    EXPECT_EQ(FreshFind("ole"), (Rows{0}));
    EXPECT_EQ(FreshFind("KOLN"), (Rows{2, 3}));
    EXPECT_EQ(FreshFind("musica lib"), (Rows{4}));
    EXPECT_EQ(FreshFind("strasse"), (Rows{6}));
    EXPECT_EQ(FreshFind("enoir"), Rows{});
    EXPECT_EQ(FreshFind("station 399"), (Rows{406}));
    EXPECT_EQ(FreshFind("zzz"), Rows{});
    EXPECT_EQ(FreshFind("").size(), ListRows().size()) << "no text: every row";
    EXPECT_EQ(FreshFind("\xCC\x81").size(), ListRows().size())
        << "an accent alone folds to nothing";
}

TEST(ChannelFinder, NewRowsForgetWhatWasFoundInTheOldOnes)
{
    CChannelFinder finder;
    Fill(finder, ListRows());
    ASSERT_EQ(finder.Find("koln"), (Rows{2, 3}));
    ASSERT_EQ(finder.Find("kol"), (Rows{2, 3}));
    Fill(finder, {{"Jazz", "", ""}, {"Koln", "", ""}});
    EXPECT_EQ(finder.Find("kol"), (Rows{1}));
    EXPECT_EQ(finder.Find("koln"), (Rows{1}));
    EXPECT_EQ(finder.Find("").size(), 2u);
    finder.AddRow({"Kolkata", "", ""});
    EXPECT_EQ(finder.Find("kol"), (Rows{1, 2}));
    EXPECT_EQ(finder.Find(""), (Rows{0, 1, 2}));
}

namespace
{
// The texts of the find box, one keystroke (or paste) after another.
struct Typing
{
    const char* name;
    std::vector<std::string> texts;
};

void PrintTo(const Typing& typing, std::ostream* out)
{
    *out << typing.name;
}
} // namespace

class ChannelFinderTyping : public testing::TestWithParam<Typing>
{
};

TEST_P(ChannelFinderTyping, GivesTheRowsOfAFreshSearchAtEveryStep)
{
    CChannelFinder finder;
    Fill(finder, ListRows());
    for (const std::string& text : GetParam().texts)
        EXPECT_EQ(finder.Find(text), FreshFind(text)) << '"' << text << '"';
}

namespace
{
// Typed letter by letter, then taken back one by one.
std::vector<std::string> TypedAndTakenBack(const std::string& text)
{
    std::vector<std::string> texts;
    for (std::size_t length = 1; length <= text.size(); ++length)
        texts.push_back(text.substr(0, length));
    for (std::size_t length = text.size() - 1; length + 1 > 0; --length)
        texts.push_back(text.substr(0, length));
    return texts;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Sequences, ChannelFinderTyping,
    testing::Values(
        Typing{"OnAndBackAcrossTwoWords", TypedAndTakenBack("cafe noir")},
        Typing{"OnAndBackWithDigits", TypedAndTakenBack("station 12")},
        Typing{"OnAndBackWithAccents", TypedAndTakenBack("K\xC3\x96LN")},
        // Narrowing from a text in the middle, and back out to a wider one.
        Typing{"InsideAndOut",
               {"e", "ca", "cafe", "caf", "a", "station 3", "ion 3", "on 3", "on 31", "3", "31",
                "station 31"}},
        // A new text that has nothing to do with the last one.
        Typing{"SomethingElse",
               {"koln", "music", "m", "station", "stat", "genre 6", "pop", "genre", "genre 6"}},
        // Longer than the texts found are kept for.
        Typing{"LongerThanKept", TypedAndTakenBack("station 1 station 2 station 3 station 4 x")}),
    [](const testing::TestParamInfo<Typing>& info) { return std::string(info.param.name); });
