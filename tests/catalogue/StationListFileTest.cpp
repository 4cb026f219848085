// Loading the station-list file: the UTF-16 reader, line ends, broken text,
// and the file's deletion.
#include "catalogue/StationList.h"

#include "CatalogueTestSupport.h"
#include "platform/InputFile.h"

#include <wx/string.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
using Strings = std::vector<std::string>;

const char16_t kHeader[] = u"Type,Name,Address,Id,Genre,Country,Status";

std::vector<std::string> Names(const CStationList& list)
{
    std::vector<std::string> names;
    for (const CChannelRecord& channel : list.m_channels)
        names.emplace_back(channel.FieldUtf8(CChannelRecord::kName));
    return names;
}

std::u16string ChannelLine(int number)
{
    const std::string digits = std::to_string(number);
    const std::u16string n(digits.begin(), digits.end());
    return u"Radio,Channel " + n + u",http://s" + n + u".example/live,3,Pop,DE,ON";
}

struct Line
{
    std::string text;
    long number;
    unsigned problems;
    bool operator==(const Line& other) const
    {
        return text == other.text && number == other.number && problems == other.problems;
    }
};

void PrintTo(const Line& line, std::ostream* out)
{
    *out << line.number << ":\"" << line.text << "\"/" << line.problems;
}

// Decodes the bytes, fed in blocks of the given size (0: all at once).
std::vector<Line> Decode(const std::string& bytes, std::size_t block = 0)
{
    std::vector<Line> lines;
    CStationListDecoder decoder(
        [&lines](const StationListLine& line) {
            lines.push_back({std::string(line.text), line.number, line.problems});
        });
    if (block == 0)
        block = bytes.size() + 1;
    for (std::size_t offset = 0; offset < bytes.size(); offset += block)
        decoder.Feed(bytes.data() + offset, std::min(block, bytes.size() - offset));
    decoder.Finish();
    return lines;
}

// Makes read(2) fail after the first block, as a broken disk would.
ssize_t FailAfterFirstBlock(int fd, void* buffer, std::size_t size)
{
    static int calls = 0;
    if (fd < 0)
    {
        calls = 0;
        return 0;
    }
    if (calls++ == 0)
        return ::read(fd, buffer, size);
    errno = EIO;
    return -1;
}

class ReadFailure
{
public:
    explicit ReadFailure(platform::ReadFunction read)
    {
        FailAfterFirstBlock(-1, nullptr, 0);
        platform::SetFileReadFunctionForTests(read);
    }
    ~ReadFailure() { platform::SetFileReadFunctionForTests(nullptr); }
};

using StationListFileTest = CatalogueTest;
} // namespace

// --- the load ------------------------------------------------------------------

TEST_F(StationListFileTest, LoadsTheWorkedExampleAndDeletesTheFile)
{
    PutStationList(std::u16string(kHeader) + u"\r\n Radio , Alpha ,a,b, c ,d,ON,extra\r\n");
    CStationList list;
    EXPECT_TRUE(list.Load());
    EXPECT_FALSE(list.RanOutOfMemory());
    EXPECT_EQ(list.m_header.GetType(), "Type");
    ASSERT_EQ(list.m_channels.GetCount(), 1);
    const CChannelRecord& channel = list.m_channels[0];
    EXPECT_EQ(channel.GetType(), "Radio");
    EXPECT_EQ(channel.GetName(), "Alpha");
    EXPECT_EQ(channel.GetUrl(), "a");
    EXPECT_EQ(channel.FieldUtf8(CChannelRecord::kField3), "b");
    EXPECT_EQ(channel.GetField4(), "c");
    EXPECT_EQ(channel.GetField5(), "d");
    EXPECT_EQ(channel.GetStatus(), "ON,extra");
    EXPECT_FALSE(FileExists(StationListPath()));
}

TEST_F(StationListFileTest, ALoadInSlicesReadsWhatAWholeLoadReadsAndDeletesTheFile)
{
    std::u16string text = std::u16string(kHeader) + u"\r\n";
    for (int i = 0; i < 200000; ++i)
        text += i % 2 ? ChannelLine(i) + u"\r\n" : u"x\n";
    PutStationList(text);
    CStationList whole;
    ASSERT_TRUE(whole.Load());

    PutStationList(text);
    CStationList sliced;
    ASSERT_TRUE(sliced.BeginLoad());
    int slices = 1;
    while (!sliced.ContinueLoad(std::chrono::milliseconds(0)))
        ++slices;
    EXPECT_GT(slices, 1) << "a slice of no time reads one block";
    EXPECT_FALSE(sliced.IsLoading());
    EXPECT_EQ(sliced.m_channels.GetCount(), 100000);
    EXPECT_EQ(Names(sliced), Names(whole));
    EXPECT_FALSE(FileExists(StationListPath()));
}

TEST_F(StationListFileTest, AListThatGoesAwayDuringALoadClosesAndDeletesTheFile)
{
    std::u16string text = std::u16string(kHeader) + u"\r\n";
    for (int i = 0; i < 100000; ++i)
        text += ChannelLine(i) + u"\r\n";
    PutStationList(text);
    {
        CStationList list;
        ASSERT_TRUE(list.BeginLoad());
        EXPECT_FALSE(list.ContinueLoad(std::chrono::milliseconds(0)));
    }
    EXPECT_FALSE(FileExists(StationListPath()));
}

namespace
{
std::size_t g_bytesRead = 0;

ssize_t CountingRead(int fd, void* buffer, std::size_t size)
{
    const ssize_t got = ::read(fd, buffer, size);
    if (got > 0)
        g_bytesRead += static_cast<std::size_t>(got);
    return got;
}
} // namespace

TEST_F(StationListFileTest, AFullListReadsNoFurther)
{
    std::u16string text = std::u16string(kHeader) + u"\r\n";
    for (int i = 0; i <= CStationList::kMaxChannels; ++i)
        text += u"Radio,,u\n";
    const std::string channels = Utf16Le(text);
    PutStationList(channels + std::string(32 * 1024 * 1024, 'z'));
    g_bytesRead = 0;
    platform::SetFileReadFunctionForTests(CountingRead);
    CStationList list;
    const bool loaded = list.Load();
    platform::SetFileReadFunctionForTests(nullptr);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(list.m_channels.GetCount(), CStationList::kMaxChannels);
    EXPECT_TRUE(list.IsTruncated());
    EXPECT_LT(g_bytesRead, channels.size() + 1024 * 1024);
    EXPECT_FALSE(FileExists(StationListPath()));
}

TEST_F(StationListFileTest, WithoutAFileTheLoadFailsQuietlyAndLeavesTheListEmpty)
{
    CStationList list;
    EXPECT_FALSE(list.Load());
    EXPECT_EQ(list.m_channels.GetCount(), 0);
    EXPECT_EQ(list.m_header, CChannelRecord());
}

TEST_F(StationListFileTest, ASecondLoadFindsNoFile)
{
    PutStationList(std::u16string(kHeader) + u"\r\nRadio,A,http://a/,1,2,3,ON\r\n");
    CStationList first;
    ASSERT_TRUE(first.Load());
    CStationList second;
    EXPECT_FALSE(second.Load());
    EXPECT_EQ(second.m_channels.GetCount(), 0);
}

TEST_F(StationListFileTest, AnEmptyFileLoadsWithNoHeaderAndIsDeleted)
{
    PutStationList(std::string());
    CStationList list;
    EXPECT_TRUE(list.Load());
    EXPECT_EQ(list.m_header, CChannelRecord());
    EXPECT_EQ(list.m_channels.GetCount(), 0);
    EXPECT_FALSE(FileExists(StationListPath()));
}

TEST_F(StationListFileTest, AHeaderOnlyFileGivesAHeaderAndNoChannels)
{
    PutStationList(std::u16string(kHeader) + u"\r\n");
    CStationList list;
    EXPECT_TRUE(list.Load());
    EXPECT_EQ(list.m_header.GetName(), "Name");
    EXPECT_EQ(list.m_channels.GetCount(), 0);
}

TEST_F(StationListFileTest, BlankLinesAreSkippedWhereverTheyStand)
{
    PutStationList(
        u"\r\n  \r\n\t\r\n" + std::u16string(kHeader) +
        u"\r\n\r\nRadio,A,http://a/,1,2,3,ON\r\n \r\n\r\nTV,B,http://b/,1,2,3,ON\r\n\r\n");
    CStationList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.m_header.GetType(), "Type");
    EXPECT_EQ(Names(list), (Strings{"A", "B"}));
}

TEST_F(StationListFileTest, TheLoadStartsWithNoChannelsButKeepsItsHeader)
{
    PutStationList(u"Radio,New,http://n/,1,2,3,ON\r\n");
    CStationList list;
    list.AddLine("Type,Name,Address,Id,Genre,Country,Status");
    list.AddLine("Radio,Old,http://o/,1,2,3,ON");
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.m_header.GetType(), "Type");
    EXPECT_EQ(Names(list), (Strings{"New"}));
}

TEST_F(StationListFileTest, AFileWhoseLinesEndInLfAloneIsReadToItsEnd)
{
    std::u16string text = std::u16string(kHeader) + u"\n";
    for (int i = 0; i < 500; ++i)
        text += ChannelLine(i) + u"\n";
    PutStationList(text);
    CStationList list;
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.m_channels.GetCount(), 500);
    EXPECT_EQ(list.m_channels[499].GetName(), "Channel 499");
    EXPECT_EQ(list.m_channels[499].GetStatus(), "ON");
}

TEST_F(StationListFileTest, MixedLineEndsAndALastLineWithoutLineEndAreAllRead)
{
    PutStationList(
        std::u16string(kHeader) +
        u"\nRadio,A,http://a/,1,2,3,ON\r\nRadio,B,http://b/,1,2,3,ON\nRadio,C,http://c/,1,2,3,ON");
    CStationList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (Strings{"A", "B", "C"}));
    EXPECT_EQ(list.m_channels[2].GetStatus(), "ON");
}

TEST_F(StationListFileTest, ShortLinesLoadWithTheirMissingFieldsEmpty)
{
    PutStationList(std::u16string(kHeader) +
                   u"\r\nRadio,Short,http://s/\r\nTV\r\nRadio,Full,http://f/,1,2,3,ON\r\n");
    CStationList list;
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(Names(list), (Strings{"Short", "", "Full"}));
    EXPECT_EQ(list.m_channels[0].GetUrl(), "http://s/");
    EXPECT_EQ(list.m_channels[0].GetStatus(), "");
    EXPECT_EQ(list.m_channels[1].GetType(), "TV");
    EXPECT_EQ(list.m_channels[1].GetUrl(), "");
}

TEST_F(StationListFileTest, TheLoadAppliesTheDisplayFilters)
{
    PutStationList(std::u16string(kHeader) +
                   u"\r\nRadio,A,http://a/,1,2,3,ON\r\nradio,B,http://b/,1,2,3,ON\r\n"
                   u"RADIO,C,http://c/,1,2,3,ON\r\nRadio "
                   u"FM,D,http://d/,1,2,3,ON\r\nTV,E,http://e/,1,2,3,ON\r\n");
    CStationList list(ChannelFilters{false, true});
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (Strings{"D", "E"}));
}

TEST_F(StationListFileTest, ALargeListIsReadAcrossManyBlocks)
{
    std::u16string text = std::u16string(kHeader) + u"\r\n";
    for (int i = 0; i < 20000; ++i)
        text += ChannelLine(i) + u" \u00d6l \U0001F3B5\r\n"; // a surrogate pair in every line
    PutStationList(text);
    ASSERT_GT(text.size() * 2, 4u * 256 * 1024);
    CStationList list;
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.m_channels.GetCount(), 20000);
    for (int i = 0; i < 20000; i += 997)
        EXPECT_EQ(list.m_channels[i].FieldUtf8(CChannelRecord::kStatus), "ON Öl 🎵") << i;
}

TEST_F(StationListFileTest, AByteOrderMarkStaysAtTheStartOfTheHeader)
{
    PutStationList(u"\uFEFF" + std::u16string(kHeader) + u"\r\nRadio,A,http://a/,1,2,3,ON\r\n");
    CStationList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.m_header.FieldUtf8(0), "\uFEFFType");
    EXPECT_EQ(Names(list), (Strings{"A"}));
}

// --- broken UTF-16 -----------------------------------------------------------

TEST_F(StationListFileTest, AnOddLastByteLosesNoLine)
{
    PutStationList(Utf16Le(std::u16string(kHeader) +
                           u"\r\nRadio,A,http://a/,1,2,3,ON\r\nRadio,B,http://b/,1,2,3,ON") +
                   "\x41");
    CStationList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (Strings{"A", "B"}));
    EXPECT_EQ(list.m_channels[1].GetStatus(), "ON") << "the half character is left out";
    EXPECT_FALSE(FileExists(StationListPath()));
}

TEST_F(StationListFileTest, AnOddByteAfterTheLastLineEndAddsNothing)
{
    PutStationList(Utf16Le(std::u16string(kHeader) + u"\r\nRadio,A,http://a/,1,2,3,ON\r\n") +
                   "\x0a");
    CStationList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (Strings{"A"}));
}

TEST_F(StationListFileTest, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const std::u16string text = std::u16string(kHeader) +
                                u"\r\nRadio,Lone \xD800 high,http://a/,1,2,3,ON\r\n"
                                u"Radio,Lone \xDC00 low,http://b/,1,2,3,ON\r\n"
                                u"Radio,Reversed \xDC00\xD800,http://c/,1,2,3,ON\r\n"
                                u"Radio,High at the end,http://d/,1,2,3,\xD83C\r\n"
                                u"Radio,Pair \xD83C\xDFB5,http://e/,1,2,3,ON\xD800";
    PutStationList(text);
    CStationList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (Strings{"Lone \uFFFD high", "Lone \uFFFD low", "Reversed \uFFFD\uFFFD",
                                    "High at the end", "Pair 🎵"}));
    EXPECT_EQ(list.m_channels[3].FieldUtf8(CChannelRecord::kStatus), "\uFFFD");
    EXPECT_EQ(list.m_channels[4].FieldUtf8(CChannelRecord::kStatus), "ON\uFFFD");
}

TEST_F(StationListFileTest, NulCharactersAreLeftOutAndLoseNoLine)
{
    std::u16string text = std::u16string(kHeader) + u"\r\nRadio,A";
    text += u'\0';
    text += u"B,http://a/,1,2,3,ON\r\n";
    text += std::u16string(40, u'\0'); // a line of nothing but NULs is blank
    text += u"\r\n";
    text += u'\0';
    text += u"Radio,C,http://c/,1,2,3,ON";
    PutStationList(text);
    CStationList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (Strings{"AB", "C"}));
}

TEST_F(StationListFileTest, AFileOfNothingButNulsOrHalfCharactersLoadsEmpty)
{
    for (const std::string& bytes : {std::string(4096, '\0'), std::string("\x01"),
                                     std::string("\x00\xD8", 2), std::string("\x00\xDC\x00", 3)})
    {
        PutStationList(bytes);
        CStationList list;
        EXPECT_TRUE(list.Load());
        EXPECT_EQ(list.m_channels.GetCount(), 0);
        EXPECT_FALSE(FileExists(StationListPath()));
    }
}

// --- the file after a load -----------------------------------------------------

TEST_F(StationListFileTest, AReadErrorPartWayKeepsTheChannelsReadAndDeletesTheFile)
{
    std::u16string text = std::u16string(kHeader) + u"\r\n";
    for (int i = 0; i < 10000; ++i)
        text += ChannelLine(i) + u"\r\n";
    PutStationList(text);
    ASSERT_GT(text.size() * 2, 2u * 256 * 1024) << "more than one block";

    CStationList list;
    {
        ReadFailure failure(FailAfterFirstBlock);
        EXPECT_TRUE(list.Load());
    }
    EXPECT_FALSE(FileExists(StationListPath()));
    ASSERT_GT(list.m_channels.GetCount(), 100);
    ASSERT_LT(list.m_channels.GetCount(), 10000);
    for (int i = 0; i < list.m_channels.GetCount(); ++i)
        ASSERT_EQ(list.m_channels[i].GetName(), "Channel " + std::to_string(i))
            << "only whole lines before the failure";
    EXPECT_EQ(list.m_channels[list.m_channels.GetCount() - 1].GetStatus(), "ON");
}

TEST_F(StationListFileTest, RunningOutOfMemoryPartWayKeepsTheChannelsReadAndDeletesTheFile)
{
    std::u16string text = std::u16string(kHeader) + u"\r\n";
    for (int i = 0; i < 1000; ++i)
        text += ChannelLine(i) + u"\r\n";
    PutStationList(text);

    CStationList list;
    bool loaded = false;
    {
        CFailingAllocations failing(300);
        loaded = list.Load();
    }
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(list.RanOutOfMemory()) << "for the caller to report";
    EXPECT_FALSE(FileExists(StationListPath()));
    // Whole channels in file order; after them only records that came back
    // empty because memory ran out while their line was split.
    int whole = 0;
    while (whole < list.m_channels.GetCount() && !list.m_channels[whole].GetName().empty())
    {
        ASSERT_EQ(list.m_channels[whole].GetName(), "Channel " + std::to_string(whole));
        ++whole;
    }
    EXPECT_GT(whole, 10);
    EXPECT_LT(whole, 1000);
    for (int i = whole; i < list.m_channels.GetCount(); ++i)
        EXPECT_EQ(list.m_channels[i], CChannelRecord()) << i;
}

TEST_F(StationListFileTest, AFileThatCannotBeOpenedIsLeftAlone)
{
    PutStationList(std::u16string(kHeader) + u"\r\n");
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens any file";
    ::chmod(StationListPath().c_str(), 0);
    CStationList list;
    EXPECT_FALSE(list.Load());
    EXPECT_TRUE(FileExists(StationListPath()));
}

TEST_F(StationListFileTest, AFolderOrAFifoInPlaceOfTheFileIsNotOpenedAndDoesNotHang)
{
    ::mkdir((m_home.DataFolder() + "/Wavecrest").c_str(), 0700);
    ASSERT_EQ(::mkfifo(StationListPath().c_str(), 0600), 0);
    CStationList list;
    EXPECT_FALSE(list.Load()) << "a FIFO without a writer would block a plain open";
    EXPECT_TRUE(FileExists(StationListPath()));
    ::unlink(StationListPath().c_str());

    ASSERT_EQ(::mkdir(StationListPath().c_str(), 0700), 0);
    EXPECT_FALSE(list.Load());
    EXPECT_TRUE(FileExists(StationListPath()));
}

TEST_F(StationListFileTest, ReadFileNeverDeletesTheFile)
{
    const std::string path = m_home.Path() + "/list.utf16";
    WriteWholeFile(path, Utf16Le(std::u16string(kHeader) + u"\r\nRadio,A,http://a/,1,2,3,ON"));
    CStationList list = CStationList::EveryChannel();
    EXPECT_EQ(list.ReadFile(path), StationListReadResult::Read);
    EXPECT_EQ(Names(list), (Strings{"A"}));
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(list.ReadFile(m_home.Path() + "/missing"), StationListReadResult::NotOpened);
    EXPECT_EQ(list.ReadFile(m_home.Path()), StationListReadResult::NotOpened);
}

// --- the decoder ---------------------------------------------------------------

TEST(StationListDecoder, NumbersLinesAndNotesProblemsPerLine)
{
    const std::string bytes =
        Utf16Le(u"a\r\n\r\nb\xD800\nc") + std::string("\0\0", 2) + Utf16Le(u"\r\nd") + "\x20";
    const std::vector<Line> expected = {{"a", 1, 0},
                                        {"", 2, 0},
                                        {"b\uFFFD", 3, StationListLine::kUnpairedSurrogate},
                                        {"c", 4, StationListLine::kNulCharacter},
                                        {"d", 5, StationListLine::kOddByte}};
    EXPECT_EQ(Decode(bytes), expected);
}

TEST(StationListDecoder, GivesTheSameLinesWhateverTheBlockSize)
{
    const std::string bytes =
        Utf16Le(u"Type,Name\r\nRadio,\U0001F3B5\xD800\r\n\xDC00x\nÖl\r\r\n\r") + "\x07";
    const std::vector<Line> whole = Decode(bytes);
    for (std::size_t block = 1; block <= bytes.size(); ++block)
        ASSERT_EQ(Decode(bytes, block), whole) << "blocks of " << block;
    EXPECT_EQ(whole.size(), 5u);
    EXPECT_EQ(whole[1].text, "Radio,🎵\uFFFD");
    EXPECT_EQ(whole[3].text, "Öl\r") << "a CR before CR LF stays in the line";
    EXPECT_EQ(whole[4].text, "\r");
    EXPECT_EQ(whole[4].problems, StationListLine::kOddByte);
}

TEST(StationListDecoder, StartsAgainAfterFinish)
{
    std::vector<Line> lines;
    CStationListDecoder decoder(
        [&lines](const StationListLine& line) {
            lines.push_back({std::string(line.text), line.number, line.problems});
        });
    const std::string first = Utf16Le(u"one\ntwo");
    decoder.Feed(first.data(), first.size());
    decoder.Feed("\x00", 1);
    decoder.Finish();
    decoder.Feed(first.data(), 2);
    decoder.Finish();
    EXPECT_EQ(lines, (std::vector<Line>{
                         {"one", 1, 0}, {"two", 2, StationListLine::kOddByte}, {"o", 1, 0}}));
}
