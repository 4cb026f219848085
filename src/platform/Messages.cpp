#include "platform/Messages.h"

#include <utility>

namespace platform
{

wxDEFINE_EVENT(wcEVT_APP_MESSAGE, CAppMessageEvent);

namespace
{
std::function<void(const MessageRecord&)>& Observer()
{
    static std::function<void(const MessageRecord&)> observer;
    return observer;
}

void Notify(MessageRecord::Kind kind, wxEvtHandler* target, int number, std::intptr_t wParam,
            std::intptr_t lParam)
{
    if (Observer())
        Observer()(MessageRecord{kind, target, number, wParam, lParam});
}
} // namespace

CAppMessageEvent::CAppMessageEvent(wxEventType type, int message, std::intptr_t wParam,
                                   std::intptr_t lParam)
    : wxCommandEvent(type, message), m_wParam(wParam), m_lParam(lParam)
{
}

void PostMessage(wxEvtHandler* target, int message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!target)
        return;
    Notify(MessageRecord::Kind::PostedMessage, target, message, wParam, lParam);
    wxQueueEvent(target, new CAppMessageEvent(wcEVT_APP_MESSAGE, message, wParam, lParam));
}

bool SendMessage(wxEvtHandler* target, int message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!target)
        return false;
    Notify(MessageRecord::Kind::SentMessage, target, message, wParam, lParam);
    CAppMessageEvent event(wcEVT_APP_MESSAGE, message, wParam, lParam);
    return target->ProcessEvent(event);
}

void PostCommand(wxEvtHandler* target, int commandId)
{
    if (!target)
        return;
    Notify(MessageRecord::Kind::PostedCommand, target, commandId, 0, 0);
    wxQueueEvent(target, new wxCommandEvent(wxEVT_MENU, commandId));
}

bool SendCommand(wxEvtHandler* target, int commandId)
{
    if (!target)
        return false;
    Notify(MessageRecord::Kind::SentCommand, target, commandId, 0, 0);
    wxCommandEvent event(wxEVT_MENU, commandId);
    return target->ProcessEvent(event);
}

void SetMessageObserver(std::function<void(const MessageRecord&)> observer)
{
    Observer() = std::move(observer);
}

} // namespace platform
