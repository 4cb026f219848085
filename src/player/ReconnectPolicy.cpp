#include "player/ReconnectPolicy.h"

CReconnectPolicy::Duration CReconnectPolicy::DelayBeforeTry(int nTry)
{
    // 0.5 s, 1, 2, 4, 8 s, then a steady 15 s.
    if (nTry <= 1)
        return Duration(500);
    if (nTry >= 6)
        return Duration(15000);
    return Duration(500 << (nTry - 1));
}

void CReconnectPolicy::Reset()
{
    *this = CReconnectPolicy();
}

void CReconnectPolicy::OnPlaying(Clock::time_point now)
{
    if (!m_bPlaying)
        m_playingSince = now;
    m_bPlaying = true;
    // A stream that answers again is no longer refusing us.
    m_nClientErrors = 0;
}

CReconnectPolicy::SDecision CReconnectPolicy::OnDropped(EDrop eDrop, Clock::time_point now)
{
    const bool bWasSteady = m_bPlaying && now - m_playingSince >= kSteadyAfter;
    m_bPlaying = false;

    if (eDrop == EDrop::EndedComplete)
    {
        Reset();
        return {};
    }
    if (!m_bInSeries || bWasSteady)
    {
        m_bInSeries = true;
        m_nTries = 0;
        m_nClientErrors = 0;
        m_seriesStart = now;
    }
    if (eDrop == EDrop::ClientError && ++m_nClientErrors >= kMaxClientErrors)
    {
        Reset();
        return {};
    }

    const Duration delay = DelayBeforeTry(m_nTries + 1);
    if (now + delay - m_seriesStart > kGiveUpAfter)
    {
        Reset();
        return {};
    }
    ++m_nTries;
    return {true, delay, m_nTries};
}
