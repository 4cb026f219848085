#include "playlists/MyChannels.h"

#include "playlists/PlaylistReader.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(MyChannels, KeepTheirChannelsAcrossASaveAndALoad)
{
    CTempHome home;
    CMyChannels mine;
    EXPECT_EQ(mine.Path(), home.DataFolder() + "/Wavecrest/MyChannels.txt");
    ASSERT_TRUE(mine.Load()); // no file yet: an empty list
    EXPECT_EQ(mine.GetCount(), 0);

    const Playlist list = ReadM3U("#EXTM3U\n#EXTINF:-1 tvg-name=\"x\" group-title=\"News, Now\","
                                  "Caf\xC3\xA9, Live\nhttp://tv.example/a,b\n",
                                  "/l.m3u");
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_TRUE(mine.Add(CMyChannels::FromPlaylistEntry(list.entries[0])));
    EXPECT_TRUE(mine.Add(CMyChannels::MakeChannel("Jazz", "https://jazz.example/", false)));
    // Nothing twice by address, nothing the player would refuse.
    EXPECT_FALSE(mine.Add(CMyChannels::MakeChannel("Again", "https://jazz.example/", true)));
    EXPECT_FALSE(mine.Add(CMyChannels::MakeChannel("Local", "file:///etc/passwd", false)));
    ASSERT_TRUE(mine.Save());

    struct stat info;
    ASSERT_EQ(::stat(mine.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadWholeFile(mine.Path()),
              "Type,Channel,Address,Logo,Group,About,Status\n"
              "TV,Caf\xC3\xA9\xE2\x80\x9A Live,http://tv.example/a%2Cb,,News\xE2\x80\x9A Now,,ON\n"
              "Radio,Jazz,https://jazz.example/,,,,ON\n");

    CMyChannels again;
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.GetCount(), 2);
    EXPECT_EQ(again.GetAt(0).FieldUtf8(CChannelRecord::kUrl), "http://tv.example/a,b");
    EXPECT_EQ(again.GetAt(0), mine.GetAt(0));
    EXPECT_EQ(again.GetAt(1).GetName(), "Jazz");
    EXPECT_EQ(again.Find("https://jazz.example/"), 1);
}

TEST(MyChannels, EditAndRemoveKeepAddressesUnique)
{
    CTempHome home;
    CMyChannels mine;
    ASSERT_TRUE(mine.Add(CMyChannels::MakeChannel("A", "http://a.example/", false)));
    ASSERT_TRUE(mine.Add(CMyChannels::MakeChannel("B", "http://b.example/", false)));
    EXPECT_FALSE(mine.Replace(1, CMyChannels::MakeChannel("B", "http://a.example/", false)));
    EXPECT_FALSE(mine.Replace(1, CMyChannels::MakeChannel("B", "smb://b.example/", false)));
    EXPECT_FALSE(mine.Replace(2, CMyChannels::MakeChannel("C", "http://c.example/", false)));
    EXPECT_TRUE(mine.Replace(1, CMyChannels::MakeChannel("B2", "http://b2.example/", true)));
    EXPECT_EQ(mine.GetAt(1).GetType(), "TV");
    EXPECT_TRUE(mine.Add(CMyChannels::MakeChannel("B", "http://b.example/", false)));
    EXPECT_TRUE(mine.Remove(0));
    EXPECT_FALSE(mine.Remove(5));
    EXPECT_EQ(mine.Find("http://a.example/"), -1);
    EXPECT_TRUE(mine.Add(CMyChannels::MakeChannel("A", "http://a.example/", false)));
    EXPECT_EQ(mine.GetCount(), 3);
}

TEST(MyChannels, LoadSkipsLinesTheListCannotHold)
{
    CTempHome home;
    CMyChannels mine;
    WriteWholeFile(mine.Path(), "\xEF\xBB\xBFType,Name,Url,A,B,C,State\r\n\r\n"
                                "Radio,Good,http://good.example/,,,,ON\r\n"
                                "Radio,Twice,http://good.example/,,,,ON\r\n"
                                "Podcast,Odd,http://odd.example/,,,,ON\r\n"
                                "TV,Local,/dev/video0,,,,ON\r\n"
                                "TV,Off,rtsp://cam.example/1,,,,OFF\r\n");
    ASSERT_TRUE(mine.Load());
    ASSERT_EQ(mine.GetCount(), 2);
    EXPECT_EQ(mine.GetAt(0).GetName(), "Good");
    EXPECT_EQ(mine.GetAt(1).GetStatus(), "OFF");
    EXPECT_EQ(mine.Header().GetName(), "Name");
}

TEST(MyChannels, KeepEveryAddressAsItIsPlayed)
{
    CTempHome home;
    const char* const paths[] = {"a,b", "a%2Cb", "a%2c%252C", "a%25", "%2,", "%%2C,%25%2C,", "%20"};
    CMyChannels mine;
    for (const char* path : paths)
        ASSERT_TRUE(mine.Add(
            CMyChannels::MakeChannel(path, std::string("http://h.example/") + path, false)));
    ASSERT_TRUE(mine.Save());
    CMyChannels again;
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.GetCount(), mine.GetCount());
    for (int i = 0; i < again.GetCount(); ++i)
        EXPECT_EQ(again.GetAt(i).FieldUtf8(CChannelRecord::kUrl),
                  std::string("http://h.example/") + paths[i]);
}
