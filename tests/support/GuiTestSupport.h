#pragma once
// Helpers for tests that run inside a wx application: driving the event
// loop, and recording (and answering) what the program posts and asks.

#include "platform/Messages.h"
#include "platform/ModalDialogs.h"

#include <functional>
#include <optional>
#include <vector>

// Sets up a test program that runs a wx application: the X11 backend, no
// accessibility bus, and a failed wx check failing the test (instead of
// waiting in a dialog).
void PrepareGuiTestProcess();

// Handles pending events (and idle time) until nothing is left.
void PumpEvents();
// How much longer time limits are in this build: WAVECREST_TIME_SCALE, which
// the test command sets for the sanitizer build (at least 1).
double TimeScale();
// Pumps events until the condition holds or the (scaled) time is up; returns
// the condition.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);

// Records every post and send while it lives.
class CMessageRecorder
{
public:
    CMessageRecorder();
    ~CMessageRecorder();

    const std::vector<platform::MessageRecord>& Records() const { return m_records; }
    // How many posts or sends of that message or command number were seen.
    int Count(int number) const;
    void Clear() { m_records.clear(); }

private:
    std::vector<platform::MessageRecord> m_records;
};

// Answers every message box and modal dialog in place of a person while it
// lives, and records what was asked. The answer function may return nothing
// to let a dialog run for real.
class CModalRecorder
{
public:
    explicit CModalRecorder(platform::ModalAnswerer answer = nullptr);
    ~CModalRecorder();

    const std::vector<platform::ModalRequest>& Requests() const { return m_requests; }

private:
    std::vector<platform::ModalRequest> m_requests;
    platform::ModalAnswerer m_answer;
};
