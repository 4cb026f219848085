// The station list as lines are added to it: the collection, the header and
// blank-line rules, and the radio and TV display filters.
#include "catalogue/StationList.h"

#include "CatalogueTestSupport.h"

#include <wx/string.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace
{
std::vector<std::string> Names(const CStationList& list)
{
    std::vector<std::string> names;
    for (const CChannelRecord& channel : list.m_channels)
        names.emplace_back(channel.FieldUtf8(CChannelRecord::kName));
    return names;
}

using Strings = std::vector<std::string>;

class StationListTest : public CatalogueTest
{
protected:
    // A list with a header and one channel of each of these types, named after its type.
    CStationList ListOfTypes(const Strings& types, ChannelFilters filters = ChannelFilters())
    {
        CStationList list(filters);
        list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
        for (const std::string& type : types)
            list.AddLine(wxString::FromUTF8(type + "," + type + ",http://s.example/,1,g,c,ON"));
        return list;
    }
};
} // namespace

TEST(ChannelArray, KeepsTheOrderOfTheAppendsAndChecksEveryIndex)
{
    CChannelArray channels;
    EXPECT_TRUE(channels.IsEmpty());
    EXPECT_THROW(channels.GetAt(0), std::out_of_range);
    for (const char* name : {"a", "b", "c"})
    {
        CChannelRecord record;
        record.SetField(CChannelRecord::kName, name);
        const int index = channels.Add(record);
        EXPECT_EQ(index, channels.GetCount() - 1);
    }
    ASSERT_EQ(channels.GetCount(), 3);
    EXPECT_EQ(channels[0].GetName(), "a");
    EXPECT_EQ(channels[1].GetName(), "b");
    EXPECT_EQ(channels.GetAt(channels.GetCount() - 1).GetName(), "c");

    EXPECT_THROW(channels.GetAt(3), std::out_of_range);
    EXPECT_THROW(channels[-1], std::out_of_range);
    EXPECT_THROW(channels.GetAt(1 << 30), std::out_of_range);
    ASSERT_EQ(channels.GetCount(), 3) << "a bad index changes nothing";
    EXPECT_EQ(channels[2].GetName(), "c");

    channels.RemoveAll();
    EXPECT_EQ(channels.GetCount(), 0);
}

TEST(ChannelArray, HoldsCopies)
{
    CChannelArray channels;
    CChannelRecord record;
    record.SetField(CChannelRecord::kName, "before");
    channels.Add(record);
    record.SetField(CChannelRecord::kName, "after");
    EXPECT_EQ(channels[0].GetName(), "before");
}

TEST_F(StationListTest, ANewListHasNoHeaderAndNoChannels)
{
    const CStationList list;
    EXPECT_TRUE(list.m_header.GetType().empty());
    EXPECT_EQ(list.m_header, CChannelRecord());
    EXPECT_EQ(list.m_channels.GetCount(), 0);
}

TEST_F(StationListTest, TheFirstNonBlankLineIsTheHeaderAndTheOthersAreChannels)
{
    CStationList list;
    EXPECT_TRUE(list.AddLine(""));
    EXPECT_TRUE(list.AddLine("   \t \r"));
    EXPECT_TRUE(list.AddLine("Type,Name,Address,Id,Genre,Country,Status"));
    EXPECT_TRUE(list.AddLine("Radio,Alpha,http://a/,1,Pop,DE,ON"));
    EXPECT_TRUE(list.AddLine(" "));
    EXPECT_TRUE(list.AddLine("TV,Beta,http://b/,2,News,FR,OFF"));
    EXPECT_TRUE(list.AddLine(""));

    EXPECT_EQ(list.m_header.GetType(), "Type");
    EXPECT_EQ(list.m_header.GetName(), "Name");
    EXPECT_EQ(list.m_header.GetField5(), "Country");
    EXPECT_EQ(Names(list), (Strings{"Alpha", "Beta"}));
    EXPECT_EQ(list.m_channels[1].GetStatus(), "OFF");
}

TEST_F(StationListTest, AHeaderWithAnEmptyFirstFieldIsReplacedByTheNextNonBlankLine)
{
    CStationList list;
    list.AddLine(",Name without a type,Address,,,,");
    EXPECT_EQ(list.m_header.GetName(), "Name without a type");
    list.AddLine("   ,Still no type");
    EXPECT_EQ(list.m_header.GetName(), "Still no type");
    list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
    EXPECT_EQ(list.m_header.GetType(), "Type");
    list.AddLine("Radio,Alpha,http://a/,1,Pop,DE,ON");
    EXPECT_EQ(list.m_header.GetName(), "Name") << "a set header stays";
    EXPECT_EQ(Names(list), (Strings{"Alpha"}));
}

TEST_F(StationListTest, AHeaderAloneGivesNoChannels)
{
    CStationList list;
    list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
    EXPECT_EQ(list.m_header.GetStatus(), "Status");
    EXPECT_EQ(list.m_channels.GetCount(), 0);
}

TEST_F(StationListTest, AChannelLineWithAnEmptyTypeIsStillAChannel)
{
    CStationList list = ListOfTypes({""});
    EXPECT_EQ(list.m_channels.GetCount(), 1);
}

TEST_F(StationListTest, WithoutFiltersEveryTypeIsAdded)
{
    const CStationList list = ListOfTypes({"Radio", "TV", "Web", "radio", "tv"});
    EXPECT_EQ(Names(list), (Strings{"Radio", "TV", "Web", "radio", "tv"}));
}

TEST_F(StationListTest, TheRadioFilterDropsRadioInAnyCaseButNotOtherTypes)
{
    const CStationList list =
        ListOfTypes({"Radio", "radio", "RADIO", "Radio FM", "TV", "rAdIo", "Radios", "Web"},
                    ChannelFilters{false, true});
    EXPECT_EQ(Names(list), (Strings{"Radio FM", "TV", "Radios", "Web"}));
}

TEST_F(StationListTest, TheTVFilterDropsTVInAnyCaseButNotOtherTypes)
{
    const CStationList list =
        ListOfTypes({"TV", "tv", "Tv", "tV", "TV HD", "Radio", "T V"}, ChannelFilters{true, false});
    EXPECT_EQ(Names(list), (Strings{"TV HD", "Radio", "T V"}));
}

TEST_F(StationListTest, WithBothFiltersOnlyOtherTypesRemain)
{
    const CStationList list = ListOfTypes({"Radio", "TV", "RADIO", "tv", "Radio FM", "Podcast", ""},
                                          ChannelFilters{false, false});
    EXPECT_EQ(Names(list), (Strings{"Radio FM", "Podcast", ""}));
}

TEST_F(StationListTest, TheTypeIsComparedAfterTrimming)
{
    CStationList list(ChannelFilters{false, true});
    list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
    list.AddLine("  radio\t,Trimmed,http://a/,1,g,c,ON");
    EXPECT_EQ(list.m_channels.GetCount(), 0);
}

TEST_F(StationListTest, ListsOfEveryChannelKeepEveryChannel)
{
    CStationList list = CStationList::EveryChannel();
    list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
    list.AddLine("Radio,a,http://a/,1,g,c,ON");
    list.AddLine("TV,b,http://b/,1,g,c,ON");
    EXPECT_EQ(list.m_channels.GetCount(), 2);
}

TEST_F(StationListTest, KeepsOnlyChannelsItCouldOffer)
{
    // Neither a known type nor an address: nothing could ever show or play
    // it. Either one is enough to be kept.
    const struct
    {
        const char* line;
        bool kept;
    } lines[] = {
        {"x", false},
        {"Web,Name", false},
        {"Web,Name, \t ,3,4,5,ON", false},
        {",,,,,,", false},
        {"Web,Name,http://w/,3,4,5,ON", true},
        {",,http://w/", true},
        {"radio", true},
        {" TV ,Name,,3,4,5,ON", true},
        {"Radio FM,Name,http://r/", true},
    };
    for (const auto& [line, kept] : lines)
    {
        CStationList list;
        list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
        list.AddLine(line);
        EXPECT_EQ(list.m_channels.GetCount(), kept ? 1 : 0) << line;
        // The maintainers' tool sees every line.
        CStationList everything = CStationList::EveryChannel();
        everything.AddLine("Type,Name,Address,Id,Genre,Country,Status");
        everything.AddLine(line);
        EXPECT_EQ(everything.m_channels.GetCount(), 1) << line;
    }
}

TEST_F(StationListTest, KeepsAtMostTheLimitAndSaysThatItLeftOutTheRest)
{
    CStationList list;
    list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
    for (int i = 0; i < CStationList::kMaxChannels; ++i)
        list.AddLineUtf8("Radio,,u");
    EXPECT_FALSE(list.IsTruncated()) << "exactly the limit is kept whole";
    list.AddLineUtf8("TV,last,u");
    list.AddLineUtf8("x");
    EXPECT_EQ(list.m_channels.GetCount(), CStationList::kMaxChannels);
    EXPECT_TRUE(list.IsTruncated());
    EXPECT_EQ(list.m_channels[CStationList::kMaxChannels - 1].GetType(), "Radio");
}
