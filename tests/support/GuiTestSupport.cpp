#include "support/GuiTestSupport.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <chrono>
#include <thread>

void PumpEvents()
{
    if (!wxTheApp)
        return;
    for (int round = 0; round < 50; ++round)
    {
        wxTheApp->ProcessPendingEvents();
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
        {
            while (loop->Pending())
                loop->Dispatch();
        }
        else
            wxYield();
        if (!wxTheApp->HasPendingEvents())
            break;
    }
    wxTheApp->ProcessIdle();
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMilliseconds)
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    for (;;)
    {
        PumpEvents();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

CMessageRecorder::CMessageRecorder()
{
    platform::SetMessageObserver([this](const platform::MessageRecord& record)
                                 { m_records.push_back(record); });
}

CMessageRecorder::~CMessageRecorder()
{
    platform::SetMessageObserver(nullptr);
}

int CMessageRecorder::Count(int number) const
{
    int count = 0;
    for (const auto& record : m_records)
        count += record.number == number ? 1 : 0;
    return count;
}

CModalRecorder::CModalRecorder(platform::ModalAnswerer answer) : m_answer(std::move(answer))
{
    platform::SetModalAnswerer(
        [this](const platform::ModalRequest& request) -> std::optional<int>
        {
            m_requests.push_back(request);
            if (m_answer)
                return m_answer(request);
            return request.kind == platform::ModalRequest::Kind::MessageBox
                       ? std::optional<int>(wxOK)
                       : std::optional<int>(wxID_CANCEL);
        });
}

CModalRecorder::~CModalRecorder()
{
    platform::SetModalAnswerer(nullptr);
}
