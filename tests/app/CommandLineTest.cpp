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
