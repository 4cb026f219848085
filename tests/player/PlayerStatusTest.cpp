// The player's status texts: what a person reads in the status bar while a
// stream connects, buffers, plays, pauses, stops, ends or fails.

#include "player/PlayerStatus.h"

#include <gtest/gtest.h>

namespace
{

using EState = CPlayerStatus::EState;

const wxString kAddress = "http://radio.example:8000/live/tone.mp3";

CPlayerStatus PlayingStream()
{
    CPlayerStatus status;
    status.Open(kAddress);
    status.Loaded();
    status.Started();
    return status;
}

} // namespace

TEST(PlayerStatusTexts, SaysReadyBeforeAnythingPlayed)
{
    CPlayerStatus status;
    EXPECT_EQ(status.GetState(), EState::Ready);
    EXPECT_EQ(status.GetText(), "Ready");
}

TEST(PlayerStatusTexts, NamesTheHostWhileConnecting)
{
    CPlayerStatus status;
    status.Open(kAddress);
    EXPECT_EQ(status.GetState(), EState::Connecting);
    EXPECT_EQ(status.GetText(), "Connecting to radio.example...");
}

TEST(PlayerStatusTexts, BuffersOnceTheStreamIsOpenUntilSoundComes)
{
    CPlayerStatus status;
    status.Open(kAddress);
    status.Loaded();
    EXPECT_EQ(status.GetState(), EState::Buffering);
    EXPECT_EQ(status.GetText(), "Buffering...");
}

TEST(PlayerStatusTexts, GivesThePercentageWhilePlaybackWaitsForData)
{
    CPlayerStatus status = PlayingStream();
    status.SetWaitingForData(true);
    status.SetBufferPercent(45);
    EXPECT_EQ(status.GetState(), EState::Buffering);
    EXPECT_EQ(status.GetText(), "Buffering 45%");
    status.SetBufferPercent(130);
    EXPECT_EQ(status.GetText(), "Buffering 100%");
    status.SetWaitingForData(false);
    EXPECT_EQ(status.GetText(), "Playing");
}

TEST(PlayerStatusTexts, ShowsTheStreamTitleAndDeclaredBitrateWhilePlaying)
{
    CPlayerStatus status = PlayingStream();
    status.SetStationName("Tone FM");
    status.SetStreamTitle(" Evening Tone ");
    status.SetDeclaredBitrate("128");
    status.SetMeasuredBitrate(96000);
    EXPECT_EQ(status.GetState(), EState::Playing);
    EXPECT_EQ(status.GetText(), "Playing: Evening Tone (128 kbps)");
}

TEST(PlayerStatusTexts, SayWhyAPictureIsMissingWhileTheSoundPlaysUntilTheNextStream)
{
    CPlayerStatus status = PlayingStream();
    status.SetNoPicture("the video cannot be decoded");
    EXPECT_EQ(status.GetText(), "Playing (no picture: the video cannot be decoded)");
    status.SetStreamTitle("News");
    EXPECT_EQ(status.GetText(), "Playing: News (no picture: the video cannot be decoded)");
    status.Open("http://other.example/tv.ts");
    status.Loaded();
    status.Started();
    EXPECT_EQ(status.GetText(), "Playing");
}

TEST(PlayerStatusTexts, FallsBackToTheMediaTitleThenTheChannelsOwnNameThenTheStationName)
{
    CPlayerStatus status = PlayingStream();
    status.SetStationName("Tone FM");
    EXPECT_EQ(status.GetText(), "Playing: Tone FM");
    status.SetMediaTitle("Morning Show");
    EXPECT_EQ(status.GetText(), "Playing: Morning Show");

    status.Open("http://tv.example/card.ts", "Demo Test Card");
    status.Loaded();
    status.Started();
    status.SetStationName("Tone FM");
    status.SetDeclaredBitrate("381");
    EXPECT_EQ(status.GetText(), "Playing: Demo Test Card (381 kbps)");
    status.SetStreamTitle("News");
    EXPECT_EQ(status.GetText(), "Playing: News (381 kbps)");
}

TEST(PlayerStatusTexts, IgnoresAMediaTitleThatIsOnlyTheAddressFileName)
{
    CPlayerStatus status = PlayingStream();
    status.SetMediaTitle("tone.mp3");
    EXPECT_EQ(status.GetText(), "Playing");
    status.SetMediaTitle(kAddress);
    EXPECT_EQ(status.GetText(), "Playing");
}

TEST(PlayerStatusTexts, IgnoresAMediaTitleThatIsOnlyTheDecodedFileName)
{
    CPlayerStatus status;
    status.Open("http://127.0.0.1:8000/radio/523.mp3?name=Caf%C3%A9%20Tone");
    status.Loaded();
    status.Started();
    status.SetMediaTitle(wxString::FromUTF8("523.mp3?name=Caf\xC3\xA9 Tone"));
    EXPECT_EQ(status.GetText(), "Playing");
    status.SetMediaTitle("Morning Show");
    EXPECT_EQ(status.GetText(), "Playing: Morning Show");
}

TEST(PlayerStatusTexts, ShowsAMeasuredBitrateThatFollowsOnlyRealChanges)
{
    CPlayerStatus status = PlayingStream();
    status.SetMeasuredBitrate(127997);
    EXPECT_EQ(status.GetText(), "Playing (128 kbps)");
    status.SetMeasuredBitrate(131000); // a little drift does not change the text
    EXPECT_EQ(status.GetText(), "Playing (128 kbps)");
    status.SetMeasuredBitrate(320000);
    EXPECT_EQ(status.GetText(), "Playing (320 kbps)");
    status.SetMeasuredBitrate(0); // unknown keeps the last figure
    EXPECT_EQ(status.GetText(), "Playing (320 kbps)");
}

TEST(PlayerStatusTexts, SaysPausedWhatEverTheStreamDoes)
{
    CPlayerStatus status = PlayingStream();
    status.SetPaused(true);
    EXPECT_EQ(status.GetState(), EState::Paused);
    EXPECT_EQ(status.GetText(), "Paused");
    status.SetPaused(false);
    EXPECT_EQ(status.GetState(), EState::Playing);
}

TEST(PlayerStatusTexts, SaysStoppedAfterAStop)
{
    CPlayerStatus status = PlayingStream();
    status.Stop();
    EXPECT_EQ(status.GetState(), EState::Stopped);
    EXPECT_EQ(status.GetText(), "Stopped");
    EXPECT_FALSE(status.IsActive());
}

TEST(PlayerStatusTexts, ForgetsTheTitleOfThePreviousStreamWhenANewOneOpens)
{
    CPlayerStatus status = PlayingStream();
    status.SetStreamTitle("Old Song");
    status.SetDeclaredBitrate("64");
    status.Open("http://other.example/b.ogg");
    status.Loaded();
    status.Started();
    EXPECT_EQ(status.GetText(), "Playing");
}

TEST(PlayerStatusTexts, SaysTheStreamEndedAndWhyWhenTheConnectionWasLost)
{
    CPlayerStatus status = PlayingStream();
    status.End("http: Stream ends prematurely at 20033, should be 18446744073709551615");
    EXPECT_EQ(status.GetState(), EState::Ended);
    EXPECT_EQ(status.GetText(), "Stream ended: connection lost");
    status.Open(kAddress);
    status.End("");
    EXPECT_EQ(status.GetText(), "Stream ended");
}

TEST(PlayerStatusFailures, ExplainARefusedConnection)
{
    CPlayerStatus status;
    status.Open("http://127.0.0.1:9/radio.mp3");
    status.Fail("loading failed",
                "tcp: Connection to tcp://127.0.0.1:9 failed: Connection refused");
    EXPECT_EQ(status.GetState(), EState::Failed);
    EXPECT_EQ(status.GetText(), "Failed: connection refused");
}

TEST(PlayerStatusFailures, ExplainWhatTheServerAnswered)
{
    EXPECT_EQ(CPlayerStatus::DescribeFailure("loading failed", "http: HTTP error 404 Not Found"),
              "the server answered 404 Not Found");
}

TEST(PlayerStatusFailures, ExplainAnUnknownHostAndASilentServer)
{
    EXPECT_EQ(CPlayerStatus::DescribeFailure(
                  "loading failed",
                  "tcp: Failed to resolve hostname nowhere.invalid: Name or service not known"),
              "server not found");
    EXPECT_EQ(CPlayerStatus::DescribeFailure("loading failed", "tcp: Connection timed out"),
              "no answer from the server");
}

TEST(PlayerStatusFailures, ExplainEngineErrorsWithoutANetworkMessage)
{
    EXPECT_EQ(CPlayerStatus::DescribeFailure("loading failed", ""),
              "the stream could not be opened");
    EXPECT_EQ(CPlayerStatus::DescribeFailure("unrecognized file format", ""),
              "not a sound or video stream");
    EXPECT_EQ(CPlayerStatus::DescribeFailure("audio output initialization failed", ""),
              "no sound output available");
}

TEST(PlayerStatusFailures, FallBackToTheEngineMessageWithoutItsModuleName)
{
    EXPECT_EQ(CPlayerStatus::DescribeFailure("something new", "tls: certificate expired"),
              "certificate expired");
    EXPECT_EQ(CPlayerStatus::DescribeFailure("something new", ""), "something new");
    EXPECT_EQ(CPlayerStatus::DescribeFailure("", ""), "unknown error");
}

TEST(PlayerStatusRefusals, SayWhyAnAddressIsNotOpened)
{
    CPlayerStatus status;
    status.Refuse("file:///home/me/song.mp3");
    EXPECT_EQ(status.GetState(), EState::Refused);
    EXPECT_EQ(status.GetText(), "Not played: local files are not opened");
    status.Refuse("");
    EXPECT_EQ(status.GetText(), "Not played: no address");
    status.Refuse("av://lavfi:sine");
    EXPECT_EQ(status.GetText(), "Not played: av: addresses are not opened");
}

TEST(PlayerStatusRefusals, NameTheReasonForEveryKindOfAddress)
{
    EXPECT_EQ(CPlayerStatus::RefusalReason("   "), "no address");
    EXPECT_EQ(CPlayerStatus::RefusalReason("/home/me/song.mp3"), "not a network address");
    EXPECT_EQ(CPlayerStatus::RefusalReason("memory://abc"), "memory: addresses are not opened");
    EXPECT_EQ(CPlayerStatus::RefusalReason("lavf://http://x"), "lavf: addresses are not opened");
    EXPECT_EQ(CPlayerStatus::RefusalReason("EDL://a;b"), "edl: addresses are not opened");
    EXPECT_EQ(CPlayerStatus::RefusalReason("http:/x"), "incomplete or invalid address");
    EXPECT_EQ(CPlayerStatus::RefusalReason("http://ok.example/a\nfile:///x"),
              "incomplete or invalid address");
}

TEST(PlayerStatusRefusals, LetNetworkStreamsThrough)
{
    for (const char* address :
         {"http://a.example/x", "https://a.example/x", "mms://a.example/x", "mmsh://a.example/x",
          "rtsp://a.example/x", "rtmp://a.example/x", "RTMPS://a.example/x"})
        EXPECT_EQ(CPlayerStatus::RefusalReason(address), "") << address;
}

TEST(PlayerStatusHosts, AreTakenFromTheAddress)
{
    EXPECT_EQ(CPlayerStatus::HostOf("http://user:pw@radio.example:8000/a?b#c"), "radio.example");
    EXPECT_EQ(CPlayerStatus::HostOf("http://[::1]:8000/a"), "::1");
    EXPECT_EQ(CPlayerStatus::HostOf("rtsp://cam.example"), "cam.example");
    EXPECT_EQ(CPlayerStatus::HostOf("no address"), "");
}

TEST(PlayerStatusHosts, AreLeftOutOfTheTextWhenThereIsNone)
{
    CPlayerStatus status;
    status.Open("");
    EXPECT_EQ(status.GetText(), "Connecting...");
}

TEST(PlayerStatus, ADroppedStreamBeingReopenedStillPlaysAndSaysWhichTryItIs)
{
    CPlayerStatus status;
    status.Open("http://radio.example/live");
    status.Loaded();
    status.Started();
    status.SetReconnecting(2);
    EXPECT_EQ(status.GetState(), CPlayerStatus::EState::Playing);
    EXPECT_EQ(status.GetText(), "Reconnecting... (try 2)");
    // The engine opens the address again: the try is still what shows.
    status.Open("http://radio.example/live");
    status.SetReconnecting(2);
    EXPECT_EQ(status.GetText(), "Reconnecting... (try 2)");
    status.Loaded();
    status.Started();
    EXPECT_TRUE(status.GetText().StartsWith("Playing"));
    status.SetReconnecting(3);
    status.Stop();
    EXPECT_EQ(status.GetText(), "Stopped");
}
