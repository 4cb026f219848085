// The desktop entry format: string escapes, Exec lines and reading a key.
#include "platform/DesktopEntry.h"

#include <gtest/gtest.h>

using Arguments = std::vector<std::string>;
using namespace platform;

TEST(DesktopEntryExecLine, StringEscapesAreUndoneAndUnknownOnesRejected)
{
    EXPECT_EQ(UnescapeDesktopString("a\\sb\\tc\\nd\\re\\\\f"), "a b\tc\nd\re\\f");
    EXPECT_EQ(UnescapeDesktopString("\\$"), std::nullopt);
    EXPECT_EQ(UnescapeDesktopString("end\\"), std::nullopt);
    EXPECT_EQ(EscapeDesktopString(" a\\b"), "\\sa\\\\b");
}

TEST(DesktopEntryExecLine, UnquotedArgumentsAreSplitAtBlanks)
{
    EXPECT_EQ(SplitExecCommand("wavecrest"), (Arguments{"wavecrest"}));
    EXPECT_EQ(SplitExecCommand("  /usr/bin/wavecrest   :silent  "),
              (Arguments{"/usr/bin/wavecrest", ":silent"}));
    EXPECT_EQ(SplitExecCommand("prog \"\" \"a b\""), (Arguments{"prog", "", "a b"}));
}

TEST(DesktopEntryExecLine, QuotedEscapesGiveTheCharacterThemselves)
{
    EXPECT_EQ(SplitExecCommand("\"/a\\\"b\\`c\\$d\\\\e\""), (Arguments{"/a\"b`c$d\\e"}));
    EXPECT_EQ(SplitExecCommand("\"a;b|c<d>e~f*g?h#i(j)k'l\tm\""),
              (Arguments{"a;b|c<d>e~f*g?h#i(j)k'l\tm"}));
}

TEST(DesktopEntryExecLine, DoublePercentIsAPercentAndFieldCodesGiveNothing)
{
    EXPECT_EQ(SplitExecCommand("prog %U --file=%f 100%% \"%%\""),
              (Arguments{"prog", "--file=", "100%", "%"}));
    EXPECT_EQ(SplitExecCommand("prog %i %c %k %F"), (Arguments{"prog"}));
}

TEST(DesktopEntryExecLine, MalformedLinesAreRejected)
{
    for (const std::string line :
         {"", "   ", "%U", "\"/unclosed", "/a\"b\"", "\"/a\"b", "\"/a\\qb\"", "\"/a\\",
          "prog $HOME", "prog a;b", "~/bin/x", "prog 'a b'", "prog a\\ b", "prog %z", "prog %"})
        EXPECT_EQ(SplitExecCommand(line), std::nullopt) << line;
}

TEST(DesktopEntryExecLine, AStringValueIsUnescapedBeforeItIsSplit)
{
    // A literal backslash in a quoted argument takes four in the file, a
    // literal dollar two; a single one before the dollar is no string escape.
    EXPECT_EQ(ParseExecValue("\"/a\\\\\\\\b\" \"\\\\$x\""), (Arguments{"/a\\b", "$x"}));
    EXPECT_EQ(ParseExecValue("\"/a\\$x\""), std::nullopt);
    EXPECT_EQ(ParseExecValue("prog\\sarg"), (Arguments{"prog", "arg"}));
}

TEST(DesktopEntryKeys, OnlyKeysOfTheDesktopEntryGroupAreRead)
{
    const std::string text = "# Exec=/comment\n"
                             "[Desktop Action Play]\n"
                             "Exec=/action\n"
                             "[Desktop Entry]\r\n"
                             "Exec[de]=/localised\n"
                             "  Exec  =  /usr/bin/wavecrest :silent\r\n"
                             "Hidden=true\n"
                             "[Other Group]\n"
                             "Exec=/other\n";
    EXPECT_EQ(ReadDesktopEntryValue(text, "Exec"), "/usr/bin/wavecrest :silent");
    EXPECT_EQ(ReadDesktopEntryValue(text, "Hidden"), "true");
    EXPECT_EQ(ReadDesktopEntryValue(text, "Name"), std::nullopt);
    EXPECT_EQ(ReadDesktopEntryValue("Exec=/no/group\n", "Exec"), std::nullopt);
}

TEST(DesktopEntryKeys, OfAKeyGivenTwiceTheLaterCounts)
{
    EXPECT_EQ(ReadDesktopEntryValue("[Desktop Entry]\nExec=/first\nExec=/second\n", "Exec"),
              "/second");
}
