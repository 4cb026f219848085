#pragma once
// Private window messages and commands between the program's windows.
//
// A private message keeps its number (WM_USER + n) and travels as a
// CAppMessageEvent whose event id is that number, so a handler is bound with
// EVT_APP_MESSAGE(number, handler). A command is an ordinary wxEVT_MENU
// command event with the command identifier. Posting queues the event on the
// target and returns; sending processes it at once.

#include <wx/event.h>

#include <cstdint>
#include <functional>

namespace platform
{

constexpr int WM_USER = 0x0400;

class CAppMessageEvent : public wxCommandEvent
{
public:
    CAppMessageEvent(wxEventType type = wxEVT_NULL, int message = 0, std::intptr_t wParam = 0,
                     std::intptr_t lParam = 0);

    int GetMessage() const { return GetId(); }
    std::intptr_t GetWParam() const { return m_wParam; }
    std::intptr_t GetLParam() const { return m_lParam; }

    wxEvent* Clone() const override { return new CAppMessageEvent(*this); }

private:
    std::intptr_t m_wParam;
    std::intptr_t m_lParam;
};

wxDECLARE_EVENT(wcEVT_APP_MESSAGE, CAppMessageEvent);

typedef void (wxEvtHandler::*CAppMessageEventFunction)(CAppMessageEvent&);
#define CAppMessageEventHandler(func) wxEVENT_HANDLER_CAST(platform::CAppMessageEventFunction, func)
#define EVT_APP_MESSAGE(message, func)                                                             \
    wx__DECLARE_EVT1(platform::wcEVT_APP_MESSAGE, message, CAppMessageEventHandler(func))

// Queues the message on the target; it is handled once the current event is done.
void PostMessage(wxEvtHandler* target, int message, std::intptr_t wParam = 0,
                 std::intptr_t lParam = 0);
// Handles the message at once and returns whether a handler processed it.
bool SendMessage(wxEvtHandler* target, int message, std::intptr_t wParam = 0,
                 std::intptr_t lParam = 0);
// Queues a command (wxEVT_MENU with the command identifier) on the target.
void PostCommand(wxEvtHandler* target, int commandId);
// Handles a command at once and returns whether a handler processed it.
bool SendCommand(wxEvtHandler* target, int commandId);

// What tests see of every post and send.
struct MessageRecord
{
    enum class Kind
    {
        PostedMessage,
        SentMessage,
        PostedCommand,
        SentCommand
    };
    Kind kind;
    wxEvtHandler* target;
    int number; // message number or command identifier
    std::intptr_t wParam;
    std::intptr_t lParam;
};

// Installs an observer called for every post and send (an empty function removes it).
void SetMessageObserver(std::function<void(const MessageRecord&)> observer);

} // namespace platform
