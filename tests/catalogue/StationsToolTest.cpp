// The maintainers' tool, run as the real build/wavecrest-stations.
#include "tools/stations/StationsTool.h"

#include "CatalogueTestSupport.h"
#include "core/Settings.h"

#include <wx/string.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace
{
struct ToolRun
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class StationsToolTest : public CatalogueTest
{
protected:
    std::string FilePath() const { return m_home.Path() + "/world list.utf16"; }
    void PutFile(std::u16string_view text) const { WriteWholeFile(FilePath(), Utf16Le(text)); }

    ToolRun Tool(const std::string& arguments) const
    {
        const std::string errors = m_home.Path() + "/stderr.txt";
        const std::string command =
            Quoted(WAVECREST_STATIONS_TOOL) + " " + arguments + " 2>" + Quoted(errors);
        ToolRun run;
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return run;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            run.out.append(buffer, got);
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = ReadWholeFile(errors);
        return run;
    }
    ToolRun Tool(const std::string& command, const std::string& path) const
    {
        return Tool(command + " " + Quoted(path));
    }
};

const char16_t kHeader[] = u"Type,Name,Address,Id,Genre,Country,Status";
} // namespace

// --- dump ----------------------------------------------------------------------

TEST_F(StationsToolTest, DumpPrintsTheHeaderAndEveryChannelSeparatedByTabs)
{
    PutFile(u"\r\n" + std::u16string(kHeader) +
            u"\r\n Radio , Alpha ,a,b, c ,d,ON,extra\r\n\r\nTV,Bêta 🎵,http://b/,2,News,FR,OFF\n");
    const ToolRun run = Tool("dump", FilePath());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Type\tName\tAddress\tId\tGenre\tCountry\tStatus\n"
                       "Radio\tAlpha\ta\tb\tc\td\tON,extra\n"
                       "TV\tBêta 🎵\thttp://b/\t2\tNews\tFR\tOFF\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(StationsToolTest, DumpEscapesTabsAndBackslashesInsideFields)
{
    PutFile(std::u16string(kHeader) + u"\r\nRadio,Tab\there,C:\\streams\\a,\\,x\t\ty,,ON\r\n");
    const ToolRun run = Tool("dump", FilePath());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Type\tName\tAddress\tId\tGenre\tCountry\tStatus\n"
                       "Radio\tTab\\there\tC:\\\\streams\\\\a\t\\\\\tx\\t\\ty\t\tON\n");
}

TEST(StationsToolEscape, WritesTabNewlineAndBackslashAsEscapes)
{
    EXPECT_EQ(EscapeField("a\tb\nc\\d"), "a\\tb\\nc\\\\d");
    EXPECT_EQ(EscapeField("\r plain \u00e9"), "\r plain \u00e9");
    EXPECT_EQ(EscapeField(""), "");
}

TEST_F(StationsToolTest, DumpAppliesNoDisplayFilters)
{
    WriteSettingInt("DisplayRadioChannels", 0);
    WriteSettingInt("DisplayTVChannels", 0);
    PutFile(std::u16string(kHeader) +
            u"\r\nRadio,A,http://a/,1,2,3,ON\r\nTV,B,http://b/,1,2,3,ON\r\n");
    const ToolRun run = Tool("dump", FilePath());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Type\tName\tAddress\tId\tGenre\tCountry\tStatus\n"
                       "Radio\tA\thttp://a/\t1\t2\t3\tON\n"
                       "TV\tB\thttp://b/\t1\t2\t3\tON\n");
}

TEST_F(StationsToolTest, DumpOfAnEmptyFilePrintsAnEmptyHeader)
{
    PutFile(u"");
    const ToolRun run = Tool("dump", FilePath());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "\t\t\t\t\t\t\n");
}

TEST_F(StationsToolTest, DumpShowsShortLinesAndBrokenTextAsTheProgramLoadsThem)
{
    std::u16string text =
        std::u16string(kHeader) + u"\nRadio,Short\nRadio,Lone \xD800,http://x/,1,2,3,O";
    text += u'\0';
    text += u"N";
    WriteWholeFile(FilePath(), Utf16Le(text) + "!");
    const ToolRun run = Tool("dump", FilePath());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Type\tName\tAddress\tId\tGenre\tCountry\tStatus\n"
                       "Radio\tShort\t\t\t\t\t\n"
                       "Radio\tLone \uFFFD\thttp://x/\t1\t2\t3\tON\n");
}

// --- check ---------------------------------------------------------------------

TEST_F(StationsToolTest, CheckSaysNothingAboutAGoodFile)
{
    PutFile(
        std::u16string(kHeader) +
        u"\r\n\r\nRadio,A,http://a.example/live,1,2,3,ON\r\nTV,B,HTTPS://b.example/,1,2,3,OFF\r\n"
        u"Radio,C,rtsp://c.example:554/s,,,,\r\nRadio,D,mms://d.example/"
        u"s,1,2,3,ON,extra,commas\r\n");
    const ToolRun run = Tool("check", FilePath());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST_F(StationsToolTest, CheckPrintsOneLinePerProblemWithItsLineNumber)
{
    std::u16string text = std::u16string(kHeader) +
                          u"\r\n"                                        // 1
                          u"Radio,Short,http://a/\r\n"                   // 2
                          u"\r\n"                                        // 3
                          u"Radio,,http://b/,1,2,3,ON\r\n"               // 4
                          u"Radio,No address,,1,2,3,ON\r\n"              // 5
                          u"Radio,Local,file:///etc/passwd,1,2,3,ON\r\n" // 6
                          u"TV,Odd,ytdl://x,1,2,3,ON\r\n"                // 7
                          u"TV,Bare,example.com/stream,1,2,3,ON\r\n"     // 8
                          u"Radio,Lone \xDC01,http://c/,1,2,3,ON\r\n"    // 9
                          u"Radio,Nul,http://d/,1,2,3,ON";               // 10
    text += u'\0';
    text += u"\r\n,\r\n";                               // 11: one comma, two empty fields
    WriteWholeFile(FilePath(), Utf16Le(text) + "\x42"); // 12: an odd byte
    const ToolRun run = Tool("check", FilePath());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.out,
        "line 2: fewer than seven fields (3)\n"
        "line 4: empty name\n"
        "line 5: empty address\n"
        "line 6: the player will not open this address (scheme \"file\"): file:///etc/passwd\n"
        "line 7: the player will not open this address (scheme \"ytdl\"): ytdl://x\n"
        "line 8: the player will not open this address (no scheme): example.com/stream\n"
        "line 9: not valid UTF-16: unpaired surrogate\n"
        "line 10: not valid UTF-16 text: NUL character\n"
        "line 11: fewer than seven fields (2)\n"
        "line 11: empty name\n"
        "line 11: empty address\n"
        "line 12: not valid UTF-16: the file ends in half a character (odd byte)\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(StationsToolTest, CheckCountsTheHeaderOnlyForItsFieldsAndText)
{
    PutFile(u"\r\nType,Name\r\nRadio,A,http://a/,1,2,3,ON\r\n");
    const ToolRun run = Tool("check", FilePath());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "line 2: fewer than seven fields (2)\n");
}

TEST_F(StationsToolTest, CheckTakesAnAddressWithControlCharactersAsOneThePlayerWillNotOpen)
{
    PutFile(std::u16string(kHeader) + u"\r\nRadio,A,http://a/\x01x,1,2,3,ON\r\n");
    const ToolRun run = Tool("check", FilePath());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "line 2: the player will not open this address (scheme \"http\"): http://a/\x01x\n");
}

// --- files that cannot be read, and the file afterwards ---------------------------

TEST_F(StationsToolTest, AFileThatCannotBeReadIsOneLineOnStderrAndExitCodeTwo)
{
    for (const std::string command : {"dump", "check"})
    {
        ToolRun run = Tool(command, m_home.Path() + "/missing.utf16");
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "wavecrest-stations: cannot read " + m_home.Path() +
                               "/missing.utf16: No such file or directory\n");

        run = Tool(command, m_home.Path());
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_EQ(run.err,
                  "wavecrest-stations: cannot read " + m_home.Path() + ": Is a directory\n");
    }
}

TEST_F(StationsToolTest, AWrongCommandLineIsExitCodeTwo)
{
    for (const std::string& arguments :
         {std::string(), std::string("dump"), std::string("list x"), std::string("check a b")})
    {
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: wavecrest-stations dump FILE"), std::string::npos);
    }
    const ToolRun help = Tool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
}

TEST_F(StationsToolTest, NeverDeletesOrChangesTheFileItReads)
{
    const std::string bytes =
        Utf16Le(std::u16string(kHeader) + u"\r\nRadio,A,file:///x,1,2,3,ON\r\n");
    WriteWholeFile(FilePath(), bytes);
    EXPECT_EQ(Tool("dump", FilePath()).status, 0);
    EXPECT_EQ(Tool("check", FilePath()).status, 1);
    EXPECT_EQ(ReadWholeFile(FilePath()), bytes);

    // Not even the program's own station-list file in the data folder.
    PutStationList(std::u16string(kHeader) + u"\r\n");
    EXPECT_EQ(Tool("dump", StationListPath()).status, 0);
    EXPECT_EQ(Tool("check", StationListPath()).status, 0);
    EXPECT_TRUE(FileExists(StationListPath()));
}
