// The media-controls service against a real dbus-daemon of the test's own:
// taking the name, every method reaching the program, the properties, the
// change signals, and going on without a bus. A client connection in the
// same process (and playerctl) plays the desktop's media controls.

#include "platform/MprisService.h"
#include "support/BusClient.h"
#include "support/PrivateSessionBus.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
using platform::CMprisService;
using platform::EMprisPlaybackStatus;

constexpr const char* kName = "org.mpris.MediaPlayer2.wavecrest";

// Records what the bus asked for; a new volume is taken as the program takes
// it: set on the player, then announced.
class CRecordingHandler : public platform::IMprisHandler
{
public:
    void OnRaise() override { m_calls.push_back("Raise"); }
    void OnQuit() override { m_calls.push_back("Quit"); }
    void OnPlay() override { m_calls.push_back("Play"); }
    void OnPause() override { m_calls.push_back("Pause"); }
    void OnPlayPause() override { m_calls.push_back("PlayPause"); }
    void OnStop() override { m_calls.push_back("Stop"); }
    void OnNext() override { m_calls.push_back("Next"); }
    void OnPrevious() override { m_calls.push_back("Previous"); }
    void OnSetVolume(double dVolume) override
    {
        m_volumes.push_back(dVolume);
        if (m_pService)
            m_pService->SetVolume(dVolume);
    }

    CMprisService* m_pService = nullptr;
    std::vector<std::string> m_calls;
    std::vector<double> m_volumes;
};

class MprisServiceOnAPrivateBus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bus.IsRunning());
        m_pClient = std::make_unique<CBusClient>(m_bus.Address());
        ASSERT_TRUE(m_pClient->IsConnected());
        m_pService = Start(m_handler);
        ASSERT_TRUE(WaitForState(*m_pService, CMprisService::EBusState::Offered));
    }

    void TearDown() override
    {
        m_pService.reset();
        m_pClient.reset();
    }

    std::unique_ptr<CMprisService> Start(CRecordingHandler& handler)
    {
        auto pService =
            std::make_unique<CMprisService>(handler, "wavecrest", "Wavecrest", "wavecrest");
        handler.m_pService = pService.get();
        return pService;
    }

    bool WaitForState(const CMprisService& service, CMprisService::EBusState eState)
    {
        return m_pClient->WaitUntil([&] { return service.GetBusState() == eState; });
    }

    // Waits for the change signals the player object has sent so far to
    // include one that names this property.
    bool WaitForChangeOf(const std::string& strProperty)
    {
        return m_pClient->WaitUntil(
            [&]
            {
                for (const auto& change : m_pClient->Changes())
                    if (change.values.count(strProperty))
                        return true;
                return false;
            });
    }

    CTempHome m_home; // no session bus in XDG_RUNTIME_DIR but ours
    CPrivateSessionBus m_bus;
    std::unique_ptr<CBusClient> m_pClient;
    CRecordingHandler m_handler;
    std::unique_ptr<CMprisService> m_pService;
};
} // namespace

TEST_F(MprisServiceOnAPrivateBus, OwnsTheNameAndDescribesThePlayer)
{
    EXPECT_NE(m_pClient->NameOwner(kName), "");
    EXPECT_EQ(m_pService->GetBusName(), kName);
    EXPECT_EQ(m_pClient->Get(kMprisRoot, "Identity"), "Wavecrest");
    EXPECT_EQ(m_pClient->Get(kMprisRoot, "DesktopEntry"), "wavecrest");
    EXPECT_EQ(m_pClient->Get(kMprisRoot, "CanQuit"), "true");
    EXPECT_EQ(m_pClient->Get(kMprisRoot, "CanRaise"), "true");
    EXPECT_EQ(m_pClient->Get(kMprisRoot, "HasTrackList"), "false");
    std::string strError;
    EXPECT_EQ(m_pClient->Get(kMprisRoot, "SupportedUriSchemes", &strError), "");
    EXPECT_EQ(strError, "") << "an empty list, not a missing property";
    EXPECT_EQ(m_pClient->Get(kMprisRoot, "SupportedMimeTypes", &strError), "");
    EXPECT_EQ(strError, "");
}

TEST_F(MprisServiceOnAPrivateBus, DescribesALiveStreamPlayer)
{
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "PlaybackStatus"), "Stopped");
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "Rate"), 1.0);
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "MinimumRate"), 1.0);
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "MaximumRate"), 1.0);
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "Position"), "0");
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "CanSeek"), "false");
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "CanControl"), "true");
    const auto metadata = m_pClient->Metadata();
    EXPECT_EQ(metadata, (std::map<std::string, std::string>{
                            {"mpris:trackid", "/org/mpris/MediaPlayer2/TrackList/NoTrack"}}));
}

TEST_F(MprisServiceOnAPrivateBus, EveryMethodReachesTheProgram)
{
    for (const char* pszMethod : {"Raise", "Quit"})
        EXPECT_TRUE(m_pClient->Call(kMprisRoot, pszMethod)) << pszMethod;
    for (const char* pszMethod : {"Play", "Pause", "PlayPause", "Stop", "Next", "Previous"})
        EXPECT_TRUE(m_pClient->Call(kMprisPlayer, pszMethod)) << pszMethod;
    EXPECT_EQ(m_handler.m_calls,
              (std::vector<std::string>{"Raise", "Quit", "Play", "Pause", "PlayPause", "Stop",
                                        "Next", "Previous"}));
}

TEST_F(MprisServiceOnAPrivateBus, SeekingAndOpeningAddressesDoNothing)
{
    EXPECT_TRUE(m_pClient->Call(kMprisPlayer, "Seek", "(int64 5000000,)"));
    EXPECT_TRUE(m_pClient->Call(kMprisPlayer, "SetPosition",
                                "(objectpath '/org/mpris/MediaPlayer2/TrackList/NoTrack', "
                                "int64 0)"));
    std::string strError;
    EXPECT_FALSE(m_pClient->Call(kMprisPlayer, "OpenUri", "('http://example.org/',)", &strError));
    EXPECT_NE(strError.find("NotSupported"), std::string::npos) << strError;
    EXPECT_TRUE(m_handler.m_calls.empty());
}

TEST_F(MprisServiceOnAPrivateBus, PropertiesReadBackWhatTheProgramSet)
{
    m_pService->SetPlaybackStatus(EMprisPlaybackStatus::Paused);
    m_pService->SetMetadata(
        {"/example/tolvane/Wavecrest/channel/4", "Song", "Jazz FM", "http://j.example/live"});
    m_pService->SetVolume(0.25);
    m_pService->SetCapabilities({true, false, true, false});
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "PlaybackStatus"), "Paused");
    EXPECT_EQ(m_pClient->Metadata(), (std::map<std::string, std::string>{
                                         {"mpris:trackid", "/example/tolvane/Wavecrest/channel/4"},
                                         {"xesam:title", "Song"},
                                         {"xesam:artist", "Jazz FM"},
                                         {"xesam:url", "http://j.example/live"}}));
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "Volume"), 0.25);
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "CanGoNext"), "true");
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "CanGoPrevious"), "false");
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "CanPlay"), "true");
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "CanPause"), "false");

    // Empty texts are left out; a track id that is no object path is "no track".
    m_pService->SetMetadata({"not a path", "Only a title", "", ""});
    EXPECT_EQ(m_pClient->Metadata(),
              (std::map<std::string, std::string>{
                  {"mpris:trackid", "/org/mpris/MediaPlayer2/TrackList/NoTrack"},
                  {"xesam:title", "Only a title"}}));
}

TEST_F(MprisServiceOnAPrivateBus, AVolumeFromTheBusIsClampedAndReadsBack)
{
    EXPECT_TRUE(m_pClient->SetDouble(kMprisPlayer, "Volume", 0.42));
    EXPECT_TRUE(m_pClient->SetDouble(kMprisPlayer, "Volume", 1.7));
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "Volume"), 1.0);
    EXPECT_TRUE(m_pClient->SetDouble(kMprisPlayer, "Volume", -0.3));
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "Volume"), 0.0);
    std::string strError;
    EXPECT_FALSE(m_pClient->SetDouble(kMprisPlayer, "Volume", std::nan(""), &strError));
    EXPECT_EQ(m_handler.m_volumes, (std::vector<double>{0.42, 1.0, 0.0}));
    // The program's own volume stays clamped too.
    m_pService->SetVolume(3.0);
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "Volume"), 1.0);
}

TEST_F(MprisServiceOnAPrivateBus, OnlyTheVolumeAndTheRateCanBeSet)
{
    std::string strError;
    EXPECT_FALSE(m_pClient->Set(kMprisPlayer, "PlaybackStatus", "'Playing'", &strError));
    EXPECT_FALSE(m_pClient->Set(kMprisRoot, "Identity", "'Other'", &strError));
    EXPECT_TRUE(m_pClient->SetDouble(kMprisPlayer, "Rate", 2.0));
    EXPECT_DOUBLE_EQ(m_pClient->GetDouble(kMprisPlayer, "Rate"), 1.0) << "streams have one speed";
    EXPECT_EQ(m_pClient->Get(kMprisPlayer, "PlaybackStatus"), "Stopped");
}

TEST_F(MprisServiceOnAPrivateBus, ChangeSignalsCarryOnlyTheValuesThatChanged)
{
    m_pService->SetPlaybackStatus(EMprisPlaybackStatus::Playing);
    ASSERT_TRUE(WaitForChangeOf("PlaybackStatus"));
    // Setting what is there already sends nothing: only the volume comes next.
    m_pService->SetPlaybackStatus(EMprisPlaybackStatus::Playing);
    m_pService->SetMetadata(m_pService->GetMetadata());
    m_pService->SetCapabilities(m_pService->GetCapabilities());
    m_pService->SetVolume(0.5);
    ASSERT_TRUE(WaitForChangeOf("Volume"));
    m_pService->SetCapabilities({false, false, true, false});
    ASSERT_TRUE(WaitForChangeOf("CanPlay"));
    m_pService->SetMetadata({"/example/tolvane/Wavecrest/channel/0", "One", "", "http://o/"});
    ASSERT_TRUE(WaitForChangeOf("Metadata"));

    const auto& changes = m_pClient->Changes();
    ASSERT_EQ(changes.size(), 4u);
    for (const auto& change : changes)
    {
        EXPECT_EQ(change.strInterface, kMprisPlayer);
        EXPECT_TRUE(change.invalidated.empty());
        EXPECT_EQ(change.values.size(), 1u);
    }
    EXPECT_EQ(changes[0].values.at("PlaybackStatus"), "Playing");
    EXPECT_EQ(changes[1].values.at("Volume"), "0.5");
    EXPECT_EQ(changes[2].values.at("CanPlay"), "true");
    EXPECT_NE(changes[3].values.at("Metadata").find("'xesam:title': <'One'>"), std::string::npos)
        << changes[3].values.at("Metadata");
}

TEST_F(MprisServiceOnAPrivateBus, ASecondOwnerNeitherStealsNorQueuesForTheName)
{
    const std::string strOwner = m_pClient->NameOwner(kName);
    CRecordingHandler otherHandler;
    auto pOther = Start(otherHandler);
    ASSERT_TRUE(WaitForState(*pOther, CMprisService::EBusState::Unavailable));
    EXPECT_EQ(m_pClient->NameOwner(kName), strOwner);
    EXPECT_TRUE(m_pClient->Call(kMprisRoot, "Raise"));
    EXPECT_EQ(m_handler.m_calls, std::vector<std::string>{"Raise"});
    EXPECT_TRUE(otherHandler.m_calls.empty());

    // The name is given back when the first service ends, and the second does not take it.
    m_pService.reset();
    EXPECT_EQ(m_pClient->NameOwner(kName), "");
    EXPECT_EQ(pOther->GetBusState(), CMprisService::EBusState::Unavailable);
}

TEST_F(MprisServiceOnAPrivateBus, EndingGivesTheNameBack)
{
    m_pService.reset();
    EXPECT_EQ(m_pClient->NameOwner(kName), "");
    // A new service (the program started again) gets it.
    m_pService = Start(m_handler);
    EXPECT_TRUE(WaitForState(*m_pService, CMprisService::EBusState::Offered));
}

TEST_F(MprisServiceOnAPrivateBus, TheProgramGoesOnWhenTheBusGoesAway)
{
    m_bus.Stop();
    ASSERT_TRUE(WaitForState(*m_pService, CMprisService::EBusState::Unavailable));
    m_pService->SetPlaybackStatus(EMprisPlaybackStatus::Playing);
    m_pService->SetVolume(0.1);
    EXPECT_EQ(m_pService->GetPlaybackStatus(), EMprisPlaybackStatus::Playing);
}

TEST_F(MprisServiceOnAPrivateBus, PlayerctlSeesAndDrivesThePlayer)
{
    m_pService->SetPlaybackStatus(EMprisPlaybackStatus::Paused);
    m_pService->SetMetadata({"/example/tolvane/Wavecrest/channel/1", "Two", "", "http://t/"});
    // playerctl asks only a player that says it can.
    m_pService->SetCapabilities({true, true, true, true});
    auto status = m_pClient->Run({"playerctl", "-p", "wavecrest", "status"});
    EXPECT_EQ(status.nStatus, 0);
    EXPECT_EQ(status.strOutput, "Paused\n");
    auto title = m_pClient->Run({"playerctl", "-p", "wavecrest", "metadata", "xesam:title"});
    EXPECT_EQ(title.strOutput, "Two\n");
    EXPECT_EQ(m_pClient->Run({"playerctl", "-p", "wavecrest", "next"}).nStatus, 0);
    EXPECT_EQ(m_pClient->Run({"playerctl", "-p", "wavecrest", "play-pause"}).nStatus, 0);
    EXPECT_EQ(m_pClient->Run({"playerctl", "-p", "wavecrest", "volume", "0.3"}).nStatus, 0);
    EXPECT_EQ(m_handler.m_calls, (std::vector<std::string>{"Next", "PlayPause"}));
    EXPECT_EQ(m_handler.m_volumes, std::vector<double>{0.3});
}

TEST(MprisServiceWithoutABus, RunsOnWithoutMediaControls)
{
    CTempHome home; // an empty runtime folder: no bus socket there
    const char* pszOld = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string strOld = pszOld ? pszOld : "";
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    CRecordingHandler handler;
    {
        CMprisService service(handler, "wavecrest", "Wavecrest", "wavecrest");
        // Known at once: nothing is waited for.
        EXPECT_EQ(service.GetBusState(), CMprisService::EBusState::Unavailable);
        service.SetPlaybackStatus(EMprisPlaybackStatus::Playing);
        service.SetVolume(0.7);
        EXPECT_EQ(service.GetPlaybackStatus(), EMprisPlaybackStatus::Playing);
        EXPECT_DOUBLE_EQ(service.GetVolume(), 0.7);
    }
    if (pszOld)
        setenv("DBUS_SESSION_BUS_ADDRESS", strOld.c_str(), 1);
}

TEST(MprisServiceWithoutABus, RunsOnWhenTheBusAddressLeadsNowhere)
{
    CTempHome home;
    const char* pszOld = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string strOld = pszOld ? pszOld : "";
    const std::string strAddress = "unix:path=" + home.RuntimeFolder() + "/no-bus-here";
    setenv("DBUS_SESSION_BUS_ADDRESS", strAddress.c_str(), 1);
    CRecordingHandler handler;
    {
        CMprisService service(handler, "wavecrest", "Wavecrest", "wavecrest");
        CBusClient pump("unix:path=/nonexistent"); // not connected: only its waiting is used
        EXPECT_TRUE(pump.WaitUntil(
            [&] { return service.GetBusState() == CMprisService::EBusState::Unavailable; }));
    }
    {
        // Ending while the connection is still on its way leaves nothing behind.
        CMprisService service(handler, "wavecrest", "Wavecrest", "wavecrest");
    }
    if (pszOld)
        setenv("DBUS_SESSION_BUS_ADDRESS", strOld.c_str(), 1);
    else
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
}
