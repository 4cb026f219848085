#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct EncodedText
{
    const char* name;
    std::string bytes;    // as the server or the file sends them
    std::string expected; // UTF-8
};

class TextEncodingTest : public ::testing::TestWithParam<EncodedText>
{
};

TEST_P(TextEncodingTest, TextFromOutsideBecomesTheTextItsWriterMeant)
{
    const std::string decoded = platform::DecodeToUtf8(GetParam().bytes);
    EXPECT_EQ(decoded, GetParam().expected);
    EXPECT_TRUE(platform::IsValidUtf8(decoded));
}

INSTANTIATE_TEST_SUITE_P(
    EncodingsStationsUse, TextEncodingTest,
    ::testing::Values(
        EncodedText{"Utf8StaysAsItIs", "Caf\xC3\xA9 M\xC3\xBCller \xE2\x80\x93 \xF0\x9F\x8E\xB5",
                    "Caf\xC3\xA9 M\xC3\xBCller \xE2\x80\x93 \xF0\x9F\x8E\xB5"},
        EncodedText{"Latin1", "Caf\xE9 M\xFCller", "Caf\xC3\xA9 M\xC3\xBCller"},
        EncodedText{"Windows1251",
                    "\xCA\xE8\xED\xEE - \xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8",
                    "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE - \xD0\x93\xD1\x80\xD1\x83\xD0\xBF\xD0\xBF"
                    "\xD0\xB0 \xD0\xBA\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB8"},
        // Dashes and apostrophes of Windows-1252 are C1 controls in Latin-1.
        EncodedText{"Windows1252Punctuation", "Bj\xF6rk \x96 It\x92s Oh So Quiet",
                    "Bj\xC3\xB6rk \xE2\x80\x93 It\xE2\x80\x99s Oh So Quiet"},
        EncodedText{"UnassignedBytesBecomeReplacementCharacters", "a\x81z", "a\xEF\xBF\xBDz"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextEncoding, OnlyWellFormedUtf8CountsAsUtf8)
{
    EXPECT_TRUE(platform::IsValidUtf8(""));
    EXPECT_TRUE(platform::IsValidUtf8("\xF4\x8F\xBF\xBF")); // U+10FFFF
    for (const char* bytes : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                              "\xE2\x82", "\x80", "\xFF"})
        EXPECT_FALSE(platform::IsValidUtf8(bytes)) << bytes;
}
} // namespace
