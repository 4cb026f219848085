#include "platform/Messages.h"
#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <vector>

namespace
{
constexpr int kTestMessage = platform::WM_USER + 3;
constexpr int kTestCommand = 319;

// A window that notes the messages and commands it handles.
class CListeningFrame : public wxFrame
{
public:
    CListeningFrame() : wxFrame(nullptr, wxID_ANY, "listener") {}

    std::vector<std::string> m_handled;

private:
    void OnTestMessage(platform::CAppMessageEvent& event)
    {
        m_handled.push_back("message " + std::to_string(event.GetWParam()) + "," +
                            std::to_string(event.GetLParam()));
    }
    void OnTestCommand(wxCommandEvent&) { m_handled.push_back("command"); }

    wxDECLARE_EVENT_TABLE();
};

// clang-format off
wxBEGIN_EVENT_TABLE(CListeningFrame, wxFrame)
    EVT_APP_MESSAGE(kTestMessage, CListeningFrame::OnTestMessage)
    EVT_MENU(kTestCommand, CListeningFrame::OnTestCommand)
wxEND_EVENT_TABLE()
// clang-format on

class MessagesTest : public ::testing::Test
{
protected:
    void TearDown() override { m_frame->Destroy(), PumpEvents(); }
    CListeningFrame* m_frame = new CListeningFrame();
};
} // namespace

TEST_F(MessagesTest, APostedMessageIsHandledOnlyAfterTheCurrentEvent)
{
    platform::PostMessage(m_frame, kTestMessage, 2, 3);
    EXPECT_TRUE(m_frame->m_handled.empty());
    PumpEvents();
    EXPECT_EQ(m_frame->m_handled, std::vector<std::string>{"message 2,3"});
}

TEST_F(MessagesTest, ASentMessageIsHandledAtOnce)
{
    EXPECT_TRUE(platform::SendMessage(m_frame, kTestMessage, 12, 12));
    EXPECT_EQ(m_frame->m_handled, std::vector<std::string>{"message 12,12"});
}

TEST_F(MessagesTest, AMessageWithoutHandlerIsDeliveredButNotHandled)
{
    EXPECT_FALSE(platform::SendMessage(m_frame, platform::WM_USER + 4, 12, 12));
    EXPECT_TRUE(m_frame->m_handled.empty());
}

TEST_F(MessagesTest, CommandsArriveAsMenuCommands)
{
    platform::PostCommand(m_frame, kTestCommand);
    PumpEvents();
    EXPECT_TRUE(platform::SendCommand(m_frame, kTestCommand));
    EXPECT_EQ(m_frame->m_handled, (std::vector<std::string>{"command", "command"}));
}

TEST_F(MessagesTest, TestsSeeEveryPostAndSendInOrder)
{
    CMessageRecorder recorder;
    platform::PostMessage(m_frame, kTestMessage, 1, 2);
    platform::SendCommand(m_frame, kTestCommand);
    platform::PostMessage(nullptr, kTestMessage); // nowhere to go: not recorded
    ASSERT_EQ(recorder.Records().size(), 2u);
    EXPECT_EQ(recorder.Records()[0].kind, platform::MessageRecord::Kind::PostedMessage);
    EXPECT_EQ(recorder.Records()[0].number, kTestMessage);
    EXPECT_EQ(recorder.Records()[0].wParam, 1);
    EXPECT_EQ(recorder.Records()[0].lParam, 2);
    EXPECT_EQ(recorder.Records()[0].target, m_frame);
    EXPECT_EQ(recorder.Records()[1].kind, platform::MessageRecord::Kind::SentCommand);
    PumpEvents();
}
