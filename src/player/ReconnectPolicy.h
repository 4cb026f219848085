#pragma once
// When to open a live stream again after it dropped. Internet radio is
// live: a stream that ends without a known duration, breaks or stalls has
// usually only lost its connection, so the player opens the same address
// again after 0.5 s, then 1, 2, 4 and 8 s, then every 15 s, for ten minutes
// from the drop. A server that answers a reopened stream with a client
// error (4xx) three times has taken the stream away, and the player gives
// up. Sound that plays steadily again for a while ends the series, so a
// later drop starts over at 0.5 s; a stream that drops again at once keeps
// counting, so a server that accepts and closes at once is not hammered.
//
// Plain logic without a window or a clock of its own: the caller passes the
// time, which keeps the class exact to test.

#include <chrono>

class CReconnectPolicy
{
public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::milliseconds;

    // How the stream stopped playing.
    enum class EDrop
    {
        Ended,         // the stream ended, and it has no known duration
        Broken,        // the connection was closed, reset or timed out
        Stalled,       // no data arrived for the stall limit
        ClientError,   // a reopened stream was answered with a 4xx status
        EndedComplete, // a stream with a known duration reached its end
    };

    struct SDecision
    {
        bool bRetry = false; // false: give up, the stream has failed
        Duration delay{0};   // wait this long, then open the address again
        int nTry = 0;        // the number of the try that follows (1, 2, ...)
    };

    // How long no data may arrive before a playing stream counts as stalled.
    static constexpr Duration kStallLimit{10000};
    // How long the player keeps trying after a drop.
    static constexpr Duration kGiveUpAfter{10 * 60 * 1000};
    // How long sound must play again before a drop starts a new series.
    static constexpr Duration kSteadyAfter{30000};
    // Client errors in a row after which the stream is given up.
    static constexpr int kMaxClientErrors = 3;

    // A new address is opened by the person or the program: no series runs.
    void Reset();
    // Sound (or picture) is coming out of the stream now.
    void OnPlaying(Clock::time_point now);
    // The stream stopped playing; says whether and when to open it again.
    SDecision OnDropped(EDrop eDrop, Clock::time_point now);

    // True while a series of tries runs (between a drop and steady sound).
    bool IsReconnecting() const { return m_bInSeries; }
    // The number of the latest try of the series (0 when none runs).
    int GetTry() const { return m_bInSeries ? m_nTries : 0; }

    // The wait before try nTry (1-based) of a series.
    static Duration DelayBeforeTry(int nTry);

private:
    bool m_bInSeries = false;
    int m_nTries = 0;
    int m_nClientErrors = 0;
    Clock::time_point m_seriesStart{};
    bool m_bPlaying = false;
    Clock::time_point m_playingSince{};
};
