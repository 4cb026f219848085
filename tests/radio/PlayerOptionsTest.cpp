// The options the playback engine starts with, and how the extra options of
// WAVECREST_PLAYER_OPTIONS are read.

#include "radio/PlayerOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;

namespace
{

std::size_t IndexOf(const std::vector<CPlayerOptions::COption>& options, const std::string& name,
                    const std::string& value)
{
    const auto found =
        std::find(options.begin(), options.end(), CPlayerOptions::COption(name, value));
    return static_cast<std::size_t>(found - options.begin());
}

} // namespace

TEST(PlayerOptionsParsing, SplitsNameValuePairsAtSemicolons)
{
    EXPECT_THAT(CPlayerOptions::Parse("ao=pcm;ao-pcm-file=/tmp/sound.wav"),
                ElementsAre(Pair("ao", "pcm"), Pair("ao-pcm-file", "/tmp/sound.wav")));
}

TEST(PlayerOptionsParsing, KeepsEqualsSignsInsideAValue)
{
    EXPECT_THAT(CPlayerOptions::Parse("demuxer-lavf-o=probesize=32,analyzeduration=0"),
                ElementsAre(Pair("demuxer-lavf-o", "probesize=32,analyzeduration=0")));
}

TEST(PlayerOptionsParsing, RemovesBlanksAndSkipsEmptyPieces)
{
    EXPECT_THAT(CPlayerOptions::Parse(" ;; ao = pcm ;\t; volume=80 ; "),
                ElementsAre(Pair("ao", "pcm"), Pair("volume", "80")));
    EXPECT_THAT(CPlayerOptions::Parse(""), IsEmpty());
}

TEST(PlayerOptionsParsing, ReadsANameWithoutValueAsYes)
{
    EXPECT_THAT(CPlayerOptions::Parse("mute"), ElementsAre(Pair("mute", "yes")));
}

TEST(PlayerOptionsParsing, DropsTheDashesOfACommandLineStyleName)
{
    EXPECT_THAT(CPlayerOptions::Parse("--ao=null"), ElementsAre(Pair("ao", "null")));
}

TEST(PlayerOptionsParsing, KeepsAnEmptyValue)
{
    EXPECT_THAT(CPlayerOptions::Parse("audio-device="), ElementsAre(Pair("audio-device", "")));
}

TEST(PlayerOptionsParsing, LeavesOutPiecesThatNameNoOptionAndListsThem)
{
    std::vector<std::string> rejected;
    EXPECT_THAT(CPlayerOptions::Parse("=pcm;Ao=pcm;a b=c;-x=1;ao=null", &rejected),
                ElementsAre(Pair("ao", "null")));
    EXPECT_THAT(rejected, ElementsAre("=pcm", "Ao=pcm", "a b=c", "-x=1"));
}

TEST(PlayerOptionsBuilding, StartsTheVolumeAtFiftyAndStaysReadyBetweenStreams)
{
    const auto options = CPlayerOptions::Build("");
    EXPECT_THAT(options, Contains(Pair("volume", "50")));
    EXPECT_THAT(options, Contains(Pair("idle", "yes")));
}

TEST(PlayerOptionsBuilding, OffersOnlyVideoOutputsThatDrawIntoTheControl)
{
    // Other outputs (sdl, for one) would open a window of their own.
    EXPECT_THAT(CPlayerOptions::Build(""), Contains(Pair("vo", "gpu,xv,x11")));
}

TEST(PlayerOptionsBuilding, AlwaysEndsWithTheSafetyOptions)
{
    const auto options = CPlayerOptions::Build("ao=pcm");
    const auto& safety = CPlayerOptions::SafetyOptions();
    ASSERT_GE(options.size(), safety.size());
    EXPECT_TRUE(std::equal(safety.begin(), safety.end(), options.end() - safety.size()));
    for (const char* name :
         {"ytdl", "load-unsafe-playlists", "config", "terminal", "input-default-bindings"})
        EXPECT_THAT(safety, Contains(Pair(name, "no"))) << name;
}

TEST(PlayerOptionsBuilding, AppliesExtraOptionsAfterTheDefaults)
{
    const auto options = CPlayerOptions::Build("volume=80;ao=pcm");
    EXPECT_LT(IndexOf(options, "volume", "50"), IndexOf(options, "volume", "80"));
    EXPECT_THAT(options, Contains(Pair("ao", "pcm")));
}

TEST(PlayerOptionsBuilding, IgnoresExtraOptionsThatWouldUndoSafetyOrTheEmbedding)
{
    const auto options =
        CPlayerOptions::Build("ytdl=yes;config=yes;terminal=yes;input-default-bindings=yes;"
                              "load-unsafe-playlists=yes;wid=12;include=/tmp/x.conf;"
                              "scripts=/tmp/a.lua;ao=pcm");
    for (const char* name :
         {"ytdl", "config", "terminal", "input-default-bindings", "load-unsafe-playlists"})
        EXPECT_THAT(options, Not(Contains(Pair(name, "yes")))) << name;
    EXPECT_THAT(options, Not(Contains(Pair("wid", "12"))));
    EXPECT_THAT(options, Not(Contains(Pair("include", "/tmp/x.conf"))));
    EXPECT_THAT(options, Not(Contains(Pair("scripts", "/tmp/a.lua"))));
    EXPECT_THAT(options, Contains(Pair("ao", "pcm")));
}

TEST(PlayerOptionsBuilding, ReadsTheExtraOptionsFromTheEnvironment)
{
    setenv(CPlayerOptions::kEnvironmentVariable, "ao=pcm;ao-pcm-file=/tmp/x.wav", 1);
    const auto options = CPlayerOptions::FromEnvironment();
    unsetenv(CPlayerOptions::kEnvironmentVariable);
    EXPECT_THAT(options, Contains(Pair("ao-pcm-file", "/tmp/x.wav")));
    EXPECT_THAT(CPlayerOptions::FromEnvironment(), Not(Contains(Pair("ao", "pcm"))));
}
