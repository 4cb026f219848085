#include "support/GuiTestSupport.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <gtest/gtest.h>
#include <wx/debug.h>

#include <chrono>
#include <cstdlib>
#include <thread>

void PrepareGuiTestProcess()
{
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    wxSetAssertHandler(
        [](const wxString& file, int line, const wxString& func, const wxString& cond,
           const wxString& msg)
        {
            ADD_FAILURE_AT(file.utf8_str(), line)
                << "wx check failed in " << func << ": " << cond << " " << msg;
        });
}

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

double TimeScale()
{
    static const double scale = []
    {
        const char* text = std::getenv("WAVECREST_TIME_SCALE");
        const double value = text ? std::atof(text) : 0.0;
        return value >= 1.0 ? value : 1.0;
    }();
    return scale;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMilliseconds)
{
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::chrono::milliseconds(static_cast<long long>(timeoutMilliseconds * TimeScale()));
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
