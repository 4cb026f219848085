#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace
{
const std::wstring kModule = L"/opt/Wave crest/bin/wavecrest";

struct Case
{
    const wchar_t* rawLine;
    bool show;
    std::int32_t number;
    const char* handOver;
};

// Each row: what a start with that line does, and what it tells a running instance.
const Case kCases[] = {
    {L"", true, -1, "show"},
    {L"   ", true, -1, "show"},
    {L":silent", false, -1, "show"},
    {L"12 :silent", false, -1, "show"},    // anywhere, also after another argument
    {L"abc:silentxyz", false, -1, "show"}, // anywhere inside an argument too
    {L":SILENT", false, 0, "number 0"},    // exact case only: read as a number
    {L"12", false, 12, "number 12"},
    {L"  12  ", false, 12, "number 12"},
    {L"\"12\"", false, 12, "number 12"}, // double quotes are removed
    {L"abc", false, 0, "number 0"},      // no number: 0
    {L"-5", false, -5, "show"},          // negative: brings the window up
    {L"+7", false, 7, "number 7"},
    {L"12abc", false, 12, "number 12"},
    {L"1 2", false, 1, "number 1"},
    {L"- 5", false, 0, "number 0"},
    {L"99999999999", false, 2147483647, "number 2147483647"}, // clamps like a 32-bit wcstol
    {L"-99999999999", false, -2147483647 - 1, "show"},
    {L"/opt/Wave crest/bin/wavecrest", true, -1, "show"},     // only the program's own path
    {L"\"/opt/Wave crest/bin/wavecrest\"", true, -1, "show"}, // ... also quoted
    {L"/opt/Wave crest/bin/wavecrest 3", false, 3, "number 3"},
    {L"\"\"", true, -1, "show"},
};
} // namespace

TEST(CommandLine, FollowsTheStartRules)
{
    for (const Case& c : kCases)
    {
        const StartRequest request = InterpretCommandLine(c.rawLine, kModule);
        const std::string line(c.rawLine, c.rawLine + wcslen(c.rawLine));
        EXPECT_EQ(request.show, c.show) << "'" << line << "'";
        EXPECT_EQ(request.number, c.number) << "'" << line << "'";
        EXPECT_EQ(HandOverMessage(request), c.handOver) << "'" << line << "'";
    }
}

TEST(CommandLine, ArgumentsJoinIntoOneLine)
{
    EXPECT_EQ(JoinArguments({}), L"");
    EXPECT_EQ(JoinArguments({L"12", L":silent"}), L"12 :silent");
}

TEST(CommandLine, LeadingNumbersReadLikeWcstol)
{
    EXPECT_EQ(ReadLeadingNumber(L" \t42x"), 42);
    EXPECT_EQ(ReadLeadingNumber(L"x42"), 0);
    EXPECT_EQ(ReadLeadingNumber(L"-0"), 0);
    EXPECT_EQ(ReadLeadingNumber(L"2147483648"), 2147483647);
    EXPECT_EQ(ReadLeadingNumber(L"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ReadLeadingNumber(L"00000000000000000000012"), 12);
}

TEST(CommandLine, APlaylistArgumentIsOpenedAndHandedOverWhole)
{
    const auto exists = [](const std::string& path) { return path == "/home/me/lists/radio"; };
    const struct
    {
        std::vector<std::string> arguments;
        std::string playlist;
    } cases[] = {
        {{"list.m3u"}, "/home/me/list.m3u"},
        {{"lists/radio"}, "/home/me/lists/radio"}, // an existing file of any name
        {{"/srv/TV.M3U8"}, "/srv/TV.M3U8"},
        {{"file:///home/me/My%20Radio.pls"}, "/home/me/My Radio.pls"},
        {{"file://localhost/tmp/a.xspf"}, "/tmp/a.xspf"},
        {{"HTTPS://Lists.example/IPTV?x=1"}, "https://Lists.example/IPTV?x=1"},
        {{"12"}, ""},                          // a number stays a number
        {{"notes.txt"}, ""},                   // neither a playlist's name nor a file
        {{"rtsp://cam.example/live.m3u"}, ""}, // not fetched
        {{"file://host/a.pls"}, ""},
        {{"a.m3u", "b.m3u"}, ""},
        {{"a\nb.m3u"}, ""}, // could not be handed over as one line
        {{"file:///tmp/a%0Ab.m3u"}, ""},
        {{"file:///tmp/a%7F%00.pls"}, ""},
        {{std::string(kMaxPlaylistArgument, 'a') + ".m3u"}, ""},
    };
    for (const auto& each : cases)
    {
        const std::string playlist = PlaylistArgument(each.arguments, "/home/me", exists);
        EXPECT_EQ(playlist, each.playlist) << each.arguments[0];
        if (playlist.empty())
            continue;
        StartRequest request;
        request.playlist = playlist;
        const HandOver handOver = ReadHandOverMessage(HandOverMessage(request));
        EXPECT_EQ(handOver.kind, HandOver::Kind::Open);
        EXPECT_EQ(handOver.location, playlist);
    }
    // The older messages keep their meaning.
    EXPECT_EQ(ReadHandOverMessage("show").kind, HandOver::Kind::Show);
    const HandOver number = ReadHandOverMessage("number 12");
    EXPECT_EQ(number.kind, HandOver::Kind::Number);
    EXPECT_EQ(number.number, 12);
    EXPECT_EQ(ReadHandOverMessage("open ").kind, HandOver::Kind::Unknown);
    EXPECT_EQ(ReadHandOverMessage("play x").kind, HandOver::Kind::Unknown);
}

TEST(CommandLine, TerminalOptionsAreAnsweredWithoutAWindow)
{
    const std::pair<std::vector<std::string>, TerminalRequest> cases[] = {
        {{}, TerminalRequest::None},
        {{"--help"}, TerminalRequest::Help},
        {{"-h", "list.m3u"}, TerminalRequest::Help},
        {{"--version"}, TerminalRequest::Version},
        {{"-V"}, TerminalRequest::Version},
        {{"--verbose"}, TerminalRequest::UnknownOption},
        {{"-5"}, TerminalRequest::None}, // a number
        {{":silent"}, TerminalRequest::None},
        {{"list.m3u", "--help"}, TerminalRequest::None},
    };
    for (const auto& [arguments, request] : cases)
        EXPECT_EQ(ReadTerminalRequest(arguments), request)
            << (arguments.empty() ? "(none)" : arguments[0]);
    for (const char* shown : {":silent", "NUMBER", "PLAYLIST", "file://", "--version",
                              "WAVECREST_STATION_LIST_URL", "WAVECREST_PLAYER_OPTIONS"})
        EXPECT_NE(UsageText().find(shown), std::string::npos) << shown;
}
