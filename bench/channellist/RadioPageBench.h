#pragma once
// The real application started for a benchmark of the radio page: in a home
// of its own, with a station-list address where nothing answers, no
// auto-play and no sound; an active event loop whose turns the benchmark
// takes one by one, as the program's own loop would. The application ends
// with the object.

#include "support/TempHome.h"

#include <wx/evtloop.h>

#include <memory>

class CWavecrestView;

class CRadioPageBench
{
public:
    explicit CRadioPageBench(char** argv);
    ~CRadioPageBench();
    CRadioPageBench(const CRadioPageBench&) = delete;
    CRadioPageBench& operator=(const CRadioPageBench&) = delete;

    // False when the application could not start (no display, say).
    bool IsRunning() const { return m_bRunning; }
    // The radio page, shown once the object is made.
    static CWavecrestView* View();
    wxGUIEventLoop& Loop() { return *m_pLoop; }

private:
    CTempHome m_home;
    bool m_bRunning = false;
    // Made once the toolkit has started.
    std::unique_ptr<wxGUIEventLoop> m_pLoop;
    std::unique_ptr<wxEventLoopActivator> m_pActive;
};
