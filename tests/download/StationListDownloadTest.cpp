#include "download/StationListDownload.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

#include <cstdlib>

namespace
{
// Sets or clears the address variable for one test and puts it back afterwards.
class StationListAddressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv(kVariable);
        m_bHadValue = old != nullptr;
        m_strOld = old ? old : "";
    }
    void TearDown() override
    {
        if (m_bHadValue)
            ::setenv(kVariable, m_strOld.c_str(), 1);
        else
            ::unsetenv(kVariable);
    }

    static constexpr const char* kVariable = "WAVECREST_STATION_LIST_URL";
    bool m_bHadValue = false;
    std::string m_strOld;
};
} // namespace

TEST_F(StationListAddressTest, TheEnvironmentChoosesTheAddress)
{
    ::setenv(kVariable, "http://127.0.0.1:8080/world.zip", 1);
    EXPECT_EQ(StationListAddress(), "http://127.0.0.1:8080/world.zip");
}

TEST_F(StationListAddressTest, WithoutTheEnvironmentTheAddressBuiltInIsUsed)
{
    ::unsetenv(kVariable);
    EXPECT_EQ(StationListAddress(), WC_BUILT_IN_STATION_LIST_URL);
    ::setenv(kVariable, "", 1);
    EXPECT_EQ(StationListAddress(), WC_BUILT_IN_STATION_LIST_URL);
}

TEST(StationListFailure, TheMessageHasItsThreeParagraphsWordForWord)
{
    EXPECT_EQ(StationListFailureMessage(),
              "Failed to Update Load Channels List.\n\n"
              "Please make sure you Computer is connected to Internet.\n\n"
              "If the problem persists, please write to us at support@tolvane.example.");
}

TEST(StationListFailure, TheMessageIsAnInformationBoxUnderTheApplicationTitle)
{
    CModalRecorder recorder;
    ShowStationListFailure(nullptr);
    ASSERT_EQ(recorder.Requests().size(), 1u);
    const auto& box = recorder.Requests()[0];
    EXPECT_EQ(box.kind, platform::ModalRequest::Kind::MessageBox);
    EXPECT_EQ(box.text, StationListFailureMessage());
    EXPECT_EQ(box.caption, "Wavecrest by Tolvane");
    EXPECT_EQ(box.style, wxOK | wxICON_INFORMATION);
}

TEST(StationListFailure, TheDialogSaysTheListIsLoading)
{
    EXPECT_EQ(StationListLoadingText(), "Loading Channels List Now...");
}
