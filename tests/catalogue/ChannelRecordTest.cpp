#include "catalogue/ChannelRecord.h"

#include "CatalogueTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace
{
std::vector<std::string> Fields(const CChannelRecord& record)
{
    std::vector<std::string> fields;
    for (int field = 0; field < CChannelRecord::kFieldCount; ++field)
        fields.emplace_back(record.FieldUtf8(field));
    return fields;
}

using Strings = std::vector<std::string>;
} // namespace

TEST(ChannelRecord, ADefaultRecordHasSevenEmptyFields)
{
    const CChannelRecord record;
    EXPECT_EQ(Fields(record), Strings(7, ""));
    EXPECT_TRUE(record.GetType().empty());
    EXPECT_TRUE(record.GetName().empty());
    EXPECT_TRUE(record.GetUrl().empty());
    EXPECT_TRUE(record.GetField4().empty());
    EXPECT_TRUE(record.GetField5().empty());
    EXPECT_TRUE(record.GetStatus().empty());
}

TEST(ChannelRecord, ParsesTheWorkedExample)
{
    const CChannelRecord record = CChannelRecord::Parse(" Radio , Alpha ,a,b, c ,d,ON,extra");
    EXPECT_EQ(Fields(record), (Strings{"Radio", "Alpha", "a", "b", "c", "d", "ON,extra"}));
    EXPECT_EQ(record.GetType(), "Radio");
    EXPECT_EQ(record.GetName(), "Alpha");
    EXPECT_EQ(record.GetUrl(), "a");
    EXPECT_EQ(record.GetField4(), "c");
    EXPECT_EQ(record.GetField5(), "d");
    EXPECT_EQ(record.GetStatus(), "ON,extra");
    EXPECT_EQ(CChannelRecord::ParseUtf8(" Radio , Alpha ,a,b, c ,d,ON,extra"), record);
}

TEST(ChannelRecord, TrimsEveryKindOfAsciiWhiteSpaceButKeepsInnerSpace)
{
    const CChannelRecord record =
        CChannelRecord::Parse("\tTV\r, Radio\vOne ,\f http://x/\t , ,\t,  ,  OFF  \r");
    EXPECT_EQ(Fields(record), (Strings{"TV", "Radio\vOne", "http://x/", "", "", "", "OFF"}));
}

TEST(ChannelRecord, AnyFieldMayBeEmpty)
{
    EXPECT_EQ(Fields(CChannelRecord::Parse(",,,,,,")), Strings(7, ""));
    EXPECT_EQ(Fields(CChannelRecord::Parse("Radio,,,,,,")),
              (Strings{"Radio", "", "", "", "", "", ""}));
}

TEST(ChannelRecord, AShortLineFillsItsFieldsFromTheLeftAndLeavesTheRestEmpty)
{
    EXPECT_EQ(Fields(CChannelRecord::Parse("Radio")), (Strings{"Radio", "", "", "", "", "", ""}));
    EXPECT_EQ(Fields(CChannelRecord::Parse(" Radio , Alpha ")),
              (Strings{"Radio", "Alpha", "", "", "", "", ""}));
    EXPECT_EQ(Fields(CChannelRecord::Parse("TV,Beta,http://b/,3,")),
              (Strings{"TV", "Beta", "http://b/", "3", "", "", ""}));
    EXPECT_EQ(Fields(CChannelRecord::Parse("a,b,c,d,e,f")),
              (Strings{"a", "b", "c", "d", "e", "f", ""}));
    // No field repeats earlier text.
    const CChannelRecord record = CChannelRecord::Parse("x,y");
    for (int field = 2; field < CChannelRecord::kFieldCount; ++field)
        EXPECT_EQ(record.FieldUtf8(field), "") << "field " << field;
}

TEST(ChannelRecord, KeepsTextOutsideAscii)
{
    const wxString line =
        wxString::FromUTF8("Radio,Ölberg 日本 🎵,http://ö.example/,3,Jazz,Česko,ON");
    const CChannelRecord record = CChannelRecord::Parse(line);
    EXPECT_EQ(record.GetName(), wxString::FromUTF8("Ölberg 日本 🎵"));
    EXPECT_EQ(record.FieldUtf8(CChannelRecord::kName), "Ölberg 日本 🎵");
    EXPECT_EQ(record.GetField5(), wxString::FromUTF8("Česko"));
}

TEST(ChannelRecord, NoBreakSpaceIsTextNotWhiteSpace)
{
    const CChannelRecord record = CChannelRecord::Parse(wxString::FromUTF8("\u00a0Radio\u00a0,b"));
    EXPECT_EQ(record.FieldUtf8(0), "\u00a0Radio\u00a0");
}

TEST(ChannelRecord, ACopyIsIndependentOfItsSourceInEveryField)
{
    const CChannelRecord original = CChannelRecord::Parse("t,n,u,3,4,5,s");
    for (int field = 0; field < CChannelRecord::kFieldCount; ++field)
    {
        CChannelRecord copy(original);
        copy.SetField(field, "changed");
        EXPECT_EQ(Fields(original), (Strings{"t", "n", "u", "3", "4", "5", "s"}));
        EXPECT_EQ(copy.FieldUtf8(field), "changed");
        EXPECT_NE(copy, original);

        CChannelRecord assigned;
        assigned = original;
        assigned.SetField(field, "");
        EXPECT_EQ(Fields(original), (Strings{"t", "n", "u", "3", "4", "5", "s"}));
        EXPECT_EQ(assigned.FieldUtf8(field), "");
    }
}

TEST(ChannelRecord, SetFieldKeepsTheOtherFields)
{
    CChannelRecord record = CChannelRecord::Parse("t,n,u,3,4,5,s");
    record.SetField(CChannelRecord::kUrl, "http://a.much.longer.example/stream");
    record.SetField(CChannelRecord::kType, "");
    EXPECT_EQ(Fields(record),
              (Strings{"", "n", "http://a.much.longer.example/stream", "3", "4", "5", "s"}));
}

TEST(ChannelRecord, AFieldNumberOutsideZeroToSixThrows)
{
    CChannelRecord record;
    EXPECT_THROW(record.FieldUtf8(7), std::out_of_range);
    EXPECT_THROW(record.GetField(-1), std::out_of_range);
    EXPECT_THROW(record.SetField(7, "x"), std::out_of_range);
    EXPECT_EQ(record, CChannelRecord());
}

TEST(ChannelRecord, OutOfMemoryWhileSplittingIsReportedAndGivesTheFieldsSplitSoFar)
{
    const std::string line = "Radio,A name long enough to need memory,http://x.example/,3,4,5,ON";
    CChannelRecord record;
    bool outOfMemory = false;
    {
        CFailingAllocations failing(0);
        record = CChannelRecord::ParseUtf8(line, &outOfMemory);
    }
    EXPECT_EQ(record, CChannelRecord()) << "nothing was split before memory ran out";
    EXPECT_TRUE(outOfMemory) << "reported to the caller";
    // And with memory back, the same line splits as usual.
    outOfMemory = false;
    EXPECT_EQ(CChannelRecord::ParseUtf8(line, &outOfMemory).FieldUtf8(CChannelRecord::kStatus),
              "ON");
    EXPECT_FALSE(outOfMemory);
}

TEST(ChannelRecordText, EqualsNoCaseComparesAsciiLettersWithoutRegardToCase)
{
    EXPECT_TRUE(EqualsNoCase("RaDiO", "radio"));
    EXPECT_TRUE(EqualsNoCase("tv", "TV"));
    EXPECT_FALSE(EqualsNoCase("Radio FM", "Radio"));
    EXPECT_FALSE(EqualsNoCase("Radi", "Radio"));
    EXPECT_FALSE(EqualsNoCase("R@dio", "R`dio"));
}

TEST(ChannelRecordText, Utf8LeavesOutNulAndReplacesNonCharacters)
{
    std::string out;
    AppendUtf8(out, U'A');
    AppendUtf8(out, 0);
    AppendUtf8(out, 0xD800);
    AppendUtf8(out, 0x110000);
    AppendUtf8(out, U'é');
    AppendUtf8(out, U'€');
    AppendUtf8(out, U'🎵');
    EXPECT_EQ(out, "A\uFFFD\uFFFDé€🎵");
}
