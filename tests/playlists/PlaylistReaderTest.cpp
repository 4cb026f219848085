#include "playlists/PlaylistReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct Expected
{
    std::string title;
    std::string address;
    bool tv;
    std::string group;
};

struct ReaderCase
{
    const char* name;
    Playlist (*read)(std::string_view, const std::string&);
    std::string bytes;
    std::string location;
    std::vector<Expected> entries;
    std::size_t leftOut;
};

void PrintTo(const ReaderCase& test, std::ostream* out)
{
    *out << test.name;
}

std::string Utf16Le(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text)
    {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

const std::string kIptvList =
    "#EXTM3U\r\n"
    "#EXTINF:-1 tvg-id=\"news.example\" tvg-name=\"News, Live\" "
    "tvg-logo=\"http://logo.example/n.png\" group-title=\"News, World\",News 24, HD\r\n"
    "http://tv.example/news/index.m3u8\r\n"
    "#EXTINF:-1 tvg-name=\"Jazz FM\" radio=\"true\" group-title=\"Music\",Jazz FM\r\n"
    "https://radio.example/jazz\r\n"
    "#EXTINF:-1 tvg-name=\"Nameless\",\r\n"
    "rtmp://tv.example/live/nameless\r\n";

const ReaderCase kCases[] = {
    {"IptvM3uWithAttributesAndCommasInTitles",
     ReadM3U,
     kIptvList,
     "/home/me/iptv.m3u",
     {{"News 24, HD", "http://tv.example/news/index.m3u8", true, "News, World"},
      {"Jazz FM", "https://radio.example/jazz", false, "Music"},
      {"Nameless", "rtmp://tv.example/live/nameless", true, ""}},
     0},
    {"M3uWithByteOrderMarkAndNoHeader",
     ReadM3U,
     "\xEF\xBB\xBFhttp://a.example/one\nhttp://b.example/two",
     "/tmp/plain.m3u",
     {{"http://a.example/one", "http://a.example/one", false, ""},
      {"http://b.example/two", "http://b.example/two", false, ""}},
     0},
    {"M3uRelativeEntriesOfADownloadedList",
     ReadM3U,
     "#EXTM3U\n#EXTINF:-1,Near\nnear.mp3\n#EXTINF:-1,Root\n/root.aac\n"
     "#EXTINF:-1,Same scheme\n//other.example/s\n",
     "https://lists.example/dir/list.m3u8?token=1",
     {{"Near", "https://lists.example/dir/near.mp3", false, ""},
      {"Root", "https://lists.example/root.aac", false, ""},
      {"Same scheme", "https://other.example/s", false, ""}},
     0},
    {"M3uLocalAndForeignEntriesAreLeftOut",
     ReadM3U,
     "#EXTM3U\r\n#EXTINF:3,Song\r\nsong.mp3\r\nfile:///etc/passwd\r\n"
     "#EXTINF:-1,Fine\r\nmms://radio.example/fine\r\njavascript:alert(1)\r\n",
     "/home/me/music/list.m3u",
     {{"Fine", "mms://radio.example/fine", false, ""}},
     3},
    {"M3uWithGuideHeaderMarksEveryChannelTv",
     ReadM3U,
     "#EXTM3U x-tvg-url=\"http://guide.example/epg.xml\"\n#EXTINF:-1,One\n"
     "http://tv.example/1\n#EXTGRP:Sports\nhttp://tv.example/2\n",
     "/x.m3u",
     {{"One", "http://tv.example/1", true, ""},
      {"http://tv.example/2", "http://tv.example/2", true, "Sports"}},
     0},
    {"M3uInWindows1251",
     ReadM3U,
     "#EXTM3U\n#EXTINF:-1 "
     "group-title=\"\xCD\xEE\xE2\xEE\xF1\xF2\xE8\","
     "\xCF\xE5\xF0\xE2\xFB\xE9\x20\xEA\xE0\xED\xE0\xEB\nhttp://1tv.example/\n"
     "#EXTINF:-1,\xD0\xE0\xE4\xE8\xEE\x20\xD0\xEE\xF1\xF1\xE8\xFF\nhttp://radio.example/\n",
     "/x.m3u",
     {{"\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD1\x8B\xD0\xB9\x20\xD0\xBA\xD0\xB0\xD0\xBD\xD0\xB0\xD0"
       "\xBB",
       "http://1tv.example/", false, "\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xBE\xD1\x81\xD1\x82\xD0\xB8"},
      {"\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE\x20\xD0\xA0\xD0\xBE\xD1\x81\xD1\x81\xD0\xB8\xD1"
       "\x8F",
       "http://radio.example/", false, ""}},
     0},
    {"PlsInWindows1252",
     ReadPLS,
     "[playlist]\nFile1=http://cafe.example/\nTitle1=Caf\xE9 \x96 Jazz \x93Live\x94 & "
     "Rock\x92n\x92Roll\n",
     "/x.pls",
     {{"Caf\xC3\xA9 \xE2\x80\x93 Jazz \xE2\x80\x9CLive\xE2\x80\x9D & "
       "Rock\xE2\x80\x99n\xE2\x80\x99Roll",
       "http://cafe.example/", false, ""}},
     0},
    {"HlsPlaylistIsOneStreamItself",
     ReadM3U,
     "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-STREAM-INF:BANDWIDTH=800000,RESOLUTION=640x360\n"
     "low/index.m3u8\n#EXT-X-STREAM-INF:BANDWIDTH=1400000,RESOLUTION=1280x720\nhigh/index.m3u8\n",
     "https://tv.example/live/master.m3u8?token=1",
     {{"master.m3u8", "https://tv.example/live/master.m3u8?token=1", true, ""}},
     0},
    {"HlsPlaylistOnDiskCannotBePlayed",
     ReadM3U,
     "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nseg1.aac\n#EXTINF:10,\nseg2.aac\n",
     "/home/me/radio.m3u8",
     {},
     1},
    {"PlsWithGapsInNumberingAndCrLf",
     ReadPLS,
     "[playlist]\r\nNumberOfEntries=3\r\nFile3=http://c.example/3\r\nTitle3=Third\r\n"
     "File1=http://a.example/1\r\nTitle1=First, with a comma\r\nLength1=-1\r\n"
     "file10=http://d.example/10\r\nTitle7=A title without a file\r\nVersion=2\r\n",
     "/home/me/radio.pls",
     {{"First, with a comma", "http://a.example/1", false, ""},
      {"Third", "http://c.example/3", false, ""},
      {"http://d.example/10", "http://d.example/10", false, ""}},
     0},
    {"PlsInUtf16WithRelativeEntry",
     ReadPLS,
     Utf16Le(u"[playlist]\r\nFile1=stream\r\nTitle1=Radio "
             u"\u00e9t\u00e9\r\nFile2=file:///home/x.mp3\r\n"),
     "http://host.example:8000/listen.pls",
     {{"Radio \xC3\xA9t\xC3\xA9", "http://host.example:8000/stream", false, ""}},
     1},
    {"XspfWithEntitiesCdataAndVideoType",
     ReadXSPF,
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
     "<!DOCTYPE playlist [<!ENTITY boom \"boom\">]>\n"
     "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n"
     "  <title>Not a track</title>\n"
     "  <trackList>\n"
     "    <track><title>Rock &amp; Roll &#x263A; &#233;</title>"
     "<location>http://r.example/?a=1&amp;b=2</location></track>\n"
     "    <track>\n      <location><![CDATA[http://v.example/live?x=1&y=2]]></location>\n"
     "      <title>&boom; TV</title>\n      <meta rel=\"mime\">video/mp2t</meta>\n"
     "      <!-- <location>http://ignored.example/</location> -->\n    </track>\n"
     "    <track><location>relative.ogg</location></track>\n"
     "    <track><location>file:///etc/hostname</location></track>\n"
     "  </trackList>\n</playlist>\n",
     "http://lists.example/a/list.xspf",
     {{"Rock & Roll \xE2\x98\xBA \xC3\xA9", "http://r.example/?a=1&b=2", false, ""},
      {"&boom; TV", "http://v.example/live?x=1&y=2", true, ""},
      {"http://lists.example/a/relative.ogg", "http://lists.example/a/relative.ogg", false, ""}},
     1},
    {"XspfWithPrefixesAndUnclosedEnd",
     ReadXSPF,
     "<x:playlist xmlns:x=\"http://xspf.org/ns/0/\"><x:trackList>"
     "<x:track><x:location type='video/mp4'>https://v.example/a</x:location>"
     "<x:extension><x:title>inner</x:title></x:extension>",
     "/p.xspf",
     {{"https://v.example/a", "https://v.example/a", true, ""}},
     0},
};

class PlaylistReaders : public testing::TestWithParam<ReaderCase>
{
};

TEST_P(PlaylistReaders, GiveTheEntriesThePlayerAccepts)
{
    const ReaderCase& test = GetParam();
    const Playlist list = test.read(test.bytes, test.location);
    ASSERT_EQ(list.entries.size(), test.entries.size());
    for (std::size_t i = 0; i < list.entries.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.entries[i].title, test.entries[i].title);
        EXPECT_EQ(list.entries[i].address, test.entries[i].address);
        EXPECT_EQ(list.entries[i].tv, test.entries[i].tv);
        EXPECT_EQ(list.entries[i].group, test.entries[i].group);
    }
    EXPECT_EQ(list.leftOut, test.leftOut);
    // Detection finds the same reader from the content or the name.
    const Playlist detected = ReadPlaylist(test.bytes, test.location);
    EXPECT_EQ(detected.entries.size(), list.entries.size());
}

INSTANTIATE_TEST_SUITE_P(RealWorldShapes, PlaylistReaders, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ReaderCase>& info)
                         { return std::string(info.param.name); });

TEST(PlaylistReaders, KeepTheFirstHundredThousandEntriesAndCountTheRest)
{
    std::string m3u = "#EXTM3U\n";
    std::string pls = "[playlist]\n";
    const std::size_t total = kMaxPlaylistEntries + 5;
    // The PLS numbers run backwards: its lowest numbers are its first entries.
    for (std::size_t i = 0; i < total; ++i)
    {
        m3u += "http://s.example/" + std::to_string(i) + "\n";
        pls += "File" + std::to_string(total - i) + "=http://s.example/" +
               std::to_string(total - i) + "\n";
    }
    const Playlist fromM3u = ReadM3U(m3u, "/l.m3u");
    const Playlist fromPls = ReadPLS(pls, "/l.pls");
    for (const Playlist* list : {&fromM3u, &fromPls})
    {
        ASSERT_EQ(list->entries.size(), kMaxPlaylistEntries);
        EXPECT_EQ(list->leftOut, 5u);
    }
    EXPECT_EQ(fromM3u.entries.back().address, "http://s.example/99999");
    EXPECT_EQ(fromPls.entries.front().address, "http://s.example/1");
    EXPECT_EQ(fromPls.entries.back().address, "http://s.example/100000");
}

TEST(PlaylistReaders, MergeEntriesOfAnAddressMetBefore)
{
    const Playlist list = ReadPlaylist("#EXTM3U\n#EXTINF:-1,One\nhttp://a.example/\nlocal.mp3\n"
                                       "http://b.example/\n#EXTINF:-1,Again\nhttp://a.example/\n",
                                       "/l.m3u");
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].title, "One");
    EXPECT_EQ(list.entries[1].address, "http://b.example/");
    EXPECT_EQ(list.leftOut, 1u);
    EXPECT_EQ(list.merged, 1u);
}

TEST(PlaylistReaders, ResolveRelativeEntriesAsAddressesAre)
{
    const std::string base = "http://h.example:8000/a/b/list.pls?k=v";
    const std::pair<const char*, const char*> cases[] = {
        {"s.mp3", "http://h.example:8000/a/b/s.mp3"},
        {"../s.mp3?x=/../y", "http://h.example:8000/a/s.mp3?x=/../y"},
        {"./c/../../../../s", "http://h.example:8000/s"},
        {"/x/./y/..", "http://h.example:8000/x/"},
        {"//other.example/s", "http://other.example/s"},
        {"rtsp://cam.example/1", "rtsp://cam.example/1"},
    };
    for (const auto& [entry, expected] : cases)
        EXPECT_EQ(ResolvePlaylistAddress(entry, base), expected) << entry;
    EXPECT_EQ(ResolvePlaylistAddress("s", "http://h.example"), "http://h.example/s");
    EXPECT_EQ(ResolvePlaylistAddress("../b/s.mp3", "/home/me/lists/l.m3u"), "/home/me/b/s.mp3");
}

TEST(PlaylistReaders, DetectTheFormatByContentBeforeName)
{
    EXPECT_EQ(DetectPlaylistFormat("[Playlist]\nFile1=x", "a.m3u"), PlaylistFormat::PLS);
    EXPECT_EQ(DetectPlaylistFormat("\xEF\xBB\xBF  #EXTM3U\n", "a.pls"), PlaylistFormat::M3U);
    EXPECT_EQ(DetectPlaylistFormat("<?xml version='1.0'?><playlist>", "x"), PlaylistFormat::XSPF);
    EXPECT_EQ(DetectPlaylistFormat("http://a/", "http://h/list.M3U8?x=.pls"), PlaylistFormat::M3U);
    EXPECT_EQ(DetectPlaylistFormat("hello", "/home/me/notes.txt"), PlaylistFormat::Unknown);
    EXPECT_TRUE(ReadPlaylist("http://a.example/\n", "notes.txt").entries.empty());
}

std::string Repeated(const std::string& piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

struct HostileCase
{
    const char* name;
    Playlist (*read)(std::string_view, const std::string&);
    std::string (*bytes)(); // made only when the case runs
    std::size_t entries;
    std::size_t leftOut;
};

void PrintTo(const HostileCase& test, std::ostream* out)
{
    *out << test.name;
}

// About 4 MiB each: a reader that searched ahead from every byte would take
// hours over them, one that reads in a single pass a fraction of a second.
constexpr std::size_t kHostileBytes = 4 * 1024 * 1024;

const HostileCase kHostileCases[] = {
    {"XspfTextOfAmpersands", ReadXSPF,
     []
     {
         return "<playlist><trackList><track><title>" + Repeated("&", kHostileBytes) +
                "</title><location>http://a.example/</location></track></trackList></playlist>";
     },
     1, 0},
    {"XspfAttributeOfAmpersands", ReadXSPF,
     []
     {
         return "<playlist><trackList><track a=\"" + Repeated("&", kHostileBytes) +
                "\"><location>http://a.example/</location></track></trackList></playlist>";
     },
     1, 0},
    {"XspfDeclarationsWithoutSubset", ReadXSPF,
     []
     {
         return "<playlist>" + Repeated("<!x>", kHostileBytes / 4) +
                "<trackList><track><location>http://a.example/</location></track></trackList>";
     },
     1, 0},
    {"XspfClosingTagsOfNothingUnderDeepNesting", ReadXSPF,
     []
     {
         return "<playlist><trackList><track><location>http://a.example/</location>" +
                Repeated("<b>", 250) + Repeated("</c>", kHostileBytes / 4) + "</track>";
     },
     1, 0},
    {"M3uLineOfAttributes", ReadM3U,
     []
     {
         return "#EXTM3U\n#EXTINF:-1 " + Repeated("a=b ", kHostileBytes / 4) +
                ",T\nhttp://a.example/\n";
     },
     1, 0},
    {"M3uLineEndsOnly", ReadM3U, [] { return Repeated("\n", kHostileBytes) + "http://a.example/"; },
     1, 0},
    {"M3uLocalEntries", ReadM3U, [] { return Repeated("x\n", kHostileBytes / 2); }, 0,
     kHostileBytes / 2},
    {"PlsValueOfEquals", ReadPLS,
     [] { return "[playlist]\nFile1=" + Repeated("=", kHostileBytes); }, 0, 1},
    {"PlsTitlesOnly", ReadPLS,
     [] { return "[playlist]\n" + Repeated("Title1=x\n", kHostileBytes / 8); }, 0, 0},
};

// Runs the read on a thread of its own, so that a reader that never ends
// fails the test instead of hanging it.
bool FinishesInTime(const std::function<void()>& read)
{
    auto finished = std::make_shared<std::promise<void>>();
    std::future<void> done = finished->get_future();
    std::thread(
        [read, finished]
        {
            read();
            finished->set_value();
        })
        .detach();
    return done.wait_for(std::chrono::minutes(2)) == std::future_status::ready;
}

class HostilePlaylists : public testing::TestWithParam<HostileCase>
{
};

TEST_P(HostilePlaylists, AreReadInOnePass)
{
    const HostileCase& test = GetParam();
    // Shared with the reading thread, which may outlive a failed test.
    const auto bytes = std::make_shared<const std::string>(test.bytes());
    auto list = std::make_shared<Playlist>();
    ASSERT_TRUE(FinishesInTime([&test, bytes, list] { *list = test.read(*bytes, "/h/list"); }));
    EXPECT_EQ(list->entries.size(), test.entries);
    EXPECT_EQ(list->leftOut, test.leftOut);
}

INSTANTIATE_TEST_SUITE_P(Shapes, HostilePlaylists, testing::ValuesIn(kHostileCases),
                         [](const testing::TestParamInfo<HostileCase>& info)
                         { return std::string(info.param.name); });

TEST(PlaylistReaders, DecodeReferencesOfUpToTwelveCharacters)
{
    const Playlist list =
        ReadXSPF("<playlist><trackList><track><title>&#x0001F3B5; &#0000000065; &#000000000065; "
                 "&amp</title><location>http://a.example/</location></track></trackList>"
                 "</playlist>",
                 "/l.xspf");
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].title, "\xF0\x9F\x8E\xB5 A &#000000000065; &amp");
}
} // namespace
