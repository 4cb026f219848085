// The options the playback engine starts with, and how the extra options of
// WAVECREST_PLAYER_OPTIONS are read.

#include "player/PlayerOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

using ::testing::_;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
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

TEST(PlayerOptionsBuilding, LetsTheSoundServerHoldHalfASecond)
{
    const auto options = CPlayerOptions::Build("");
    EXPECT_THAT(options, Contains(Pair("pulse-buffer", "500")));
    EXPECT_THAT(options, Contains(Pair("pipewire-buffer", "500")));
}

TEST(PlayerOptionsBuilding, HandsThePictureOnlyToTheProgramWhateverIsAskedFor)
{
    // Any other output (x11, gpu, sdl) would draw into a window or open one.
    const auto options = CPlayerOptions::Build("vo=x11");
    EXPECT_THAT(options, Contains(Pair("vo", "libmpv")));
    EXPECT_THAT(options, Not(Contains(Pair("vo", "x11"))));
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

TEST(PlayerOptionsBuilding, LeavesThePipeWireOutputOutOnlyWithoutAPipeWireServer)
{
    const auto withServer = CPlayerOptions::Build("");
    EXPECT_THAT(withServer, Not(Contains(Pair("ao", _))));
    const auto without = CPlayerOptions::Build("", nullptr, false);
    EXPECT_THAT(without, Contains(Pair("ao", CPlayerOptions::kOutputsWithoutPipeWire)));
    EXPECT_EQ(std::string(CPlayerOptions::kOutputsWithoutPipeWire).find("pipewire"),
              std::string::npos);
    // The person's own choice comes later and wins.
    const auto chosen = CPlayerOptions::Build("ao=pcm", nullptr, false);
    EXPECT_LT(IndexOf(chosen, "ao", CPlayerOptions::kOutputsWithoutPipeWire),
              IndexOf(chosen, "ao", "pcm"));
}

// What a person or a test sets: sound output and device, volume, picture
// output and decoding, buffering, network time-out and the engine's log.
class PlayerOptionsAllowed : public ::testing::TestWithParam<const char*>
{
};

TEST_P(PlayerOptionsAllowed, AreHandedToTheEngineWithoutComplaint)
{
    std::ostringstream refusals;
    const auto options = CPlayerOptions::Build(std::string(GetParam()) + "=7", &refusals);
    EXPECT_THAT(options, Contains(Pair(GetParam(), "7")));
    EXPECT_EQ(refusals.str(), "");
}

INSTANTIATE_TEST_SUITE_P(, PlayerOptionsAllowed,
                         ::testing::Values("ao", "ao-pcm-file", "ao-pcm-waveheader", "audio-device",
                                           "audio-buffer", "volume", "mute", "hwdec", "cache",
                                           "cache-secs", "demuxer-readahead-secs",
                                           "demuxer-max-bytes", "network-timeout", "log-file"));

// Options that would load code or configuration, open a control socket, hand
// options on to lower layers, undo a safety option or take the program's own
// settings: each is left out with one line on the error output.
class PlayerOptionsRefused : public ::testing::TestWithParam<const char*>
{
};

TEST_P(PlayerOptionsRefused, AreLeftOutWithOneLineEach)
{
    std::ostringstream refusals;
    const std::string strName = GetParam();
    const auto options =
        CPlayerOptions::Build("ao=pcm;" + strName + "=/tmp/x;volume=70", &refusals);
    EXPECT_THAT(options, Not(Contains(Pair(strName, "/tmp/x"))));
    EXPECT_THAT(options, Contains(Pair("ao", "pcm")));
    EXPECT_THAT(options, Contains(Pair("volume", "70")));
    const std::string strText = refusals.str();
    EXPECT_EQ(std::count(strText.begin(), strText.end(), '\n'), 1) << strText;
    EXPECT_THAT(strText, HasSubstr('"' + strName + '"'));
}

INSTANTIATE_TEST_SUITE_P(, PlayerOptionsRefused,
                         ::testing::Values("scripts-append", "input-ipc-server", "stream-lavf-o",
                                           "demuxer-lavf-o", "script", "scripts", "include",
                                           "config", "config-dir", "ytdl", "ytdl-raw-options",
                                           "load-unsafe-playlists", "terminal",
                                           "input-default-bindings", "input-conf", "wid", "vo",
                                           "gpu-context", "af", "vf", "volume-max", "idle",
                                           "profile", "use-filedir-conf", "external-file",
                                           "audio-file", "sub-file", "unknown-option"));

TEST(PlayerOptionsBuilding, TellsOfEveryPieceLeftOutOnItsOwnLine)
{
    std::ostringstream refusals;
    const auto options = CPlayerOptions::Build(
        "scripts-append=/tmp/a.lua;ao=null;Ao=pcm;input-ipc-server=/tmp/s;volume=20", &refusals);
    EXPECT_THAT(options, Contains(Pair("ao", "null")));
    EXPECT_THAT(options, Contains(Pair("volume", "20")));
    const std::string strText = refusals.str();
    EXPECT_EQ(std::count(strText.begin(), strText.end(), '\n'), 3) << strText;
    EXPECT_THAT(strText, HasSubstr("\"scripts-append\""));
    EXPECT_THAT(strText, HasSubstr("\"input-ipc-server\""));
    EXPECT_THAT(strText, HasSubstr("\"Ao=pcm\""));
}

TEST(PlayerOptionsBuilding, ReadsTheExtraOptionsFromTheEnvironment)
{
    setenv(CPlayerOptions::kEnvironmentVariable, "ao=pcm;ao-pcm-file=/tmp/x.wav", 1);
    const auto options = CPlayerOptions::FromEnvironment();
    unsetenv(CPlayerOptions::kEnvironmentVariable);
    EXPECT_THAT(options, Contains(Pair("ao-pcm-file", "/tmp/x.wav")));
    EXPECT_THAT(CPlayerOptions::FromEnvironment(), Not(Contains(Pair("ao", "pcm"))));
}
