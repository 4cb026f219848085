#pragma once
// What the player is doing, in a few words a person understands. The player
// control feeds this class with what the playback engine reports (a stream
// is opened, loaded, starts, pauses, waits for data, ends or fails, and the
// title and bitrate the stream announces); GetText() turns the latest state
// into the short status text shown in the status bar and the tray tooltip.

#include <wx/string.h>

class CPlayerStatus
{
public:
    // The numbers follow the play states a media player control usually
    // reports, so that a play-state event carries familiar values.
    enum class EState
    {
        Ready = 10,     // nothing was played yet
        Stopped = 1,    // stopped by the person or the program
        Paused = 2,     // paused by the person
        Playing = 3,    // sound (or picture) is coming out
        Buffering = 6,  // waiting for enough of the stream to (re)start
        Connecting = 9, // the address is being opened
        Ended = 8,      // the stream ended by itself
        Failed = 11,    // the stream could not be opened or played
        Refused = 12    // the address is not one the player may open
    };

    CPlayerStatus();

    // A new address is being opened: forgets everything of the previous
    // stream. strChannelName is what the person's list calls the channel; the
    // playing text names it when the stream announces no title of its own.
    void Open(const wxString& strAddress, const wxString& strChannelName = wxString());
    // The address was not opened: the text says why.
    void Refuse(const wxString& strAddress);
    // The stream's format is known; its sound (or picture) is being prepared.
    void Loaded();
    // The first sound (or picture) of the stream is coming out.
    void Started();
    void SetPaused(bool bPaused);
    // Playback waits for data; nPercent is how far the wait has come.
    void SetWaitingForData(bool bWaiting);
    void SetBufferPercent(int nPercent);
    void Stop();
    // A live stream dropped and is being opened again: try nTry of a series
    // (0: the series ended). While it runs, the stream still counts as
    // playing, and the text says what happens.
    void SetReconnecting(int nTry);
    // The stream ended by itself; strLog is the engine's last message about
    // the stream ("" when there was none).
    void End(const wxString& strLog);
    // The stream failed; strError is the engine's error text and strLog its
    // last message about the stream.
    void Fail(const wxString& strError, const wxString& strLog);
    // A failure that has nothing to do with a stream (the engine is gone).
    void FailWithReason(const wxString& strReason);

    // What the stream announces. Empty texts and zero mean "not announced".
    void SetStreamTitle(const wxString& strTitle); // the title of what plays now
    void SetMediaTitle(const wxString& strTitle);  // the engine's name for the stream
    void SetStationName(const wxString& strName);
    void SetChannelName(const wxString& strName) { m_strChannelName = strName; }
    void SetDeclaredBitrate(const wxString& strKbps);
    void SetMeasuredBitrate(double dBitsPerSecond);
    // Why the stream's picture cannot be shown while its sound plays ("" when
    // nothing stands in the way); the playing text says so.
    void SetNoPicture(const wxString& strReason);
    const wxString& GetNoPicture() const { return m_strNoPicture; }

    EState GetState() const;
    wxString GetText() const;
    // The title the stream announces for what plays now ("" when it announces none).
    const wxString& GetStreamTitle() const { return m_strStreamTitle; }
    // True while the stream is on its way or playing (so Pause makes sense).
    bool IsActive() const;

    // The host named by an address ("" when it names none).
    static wxString HostOf(const wxString& strAddress);
    // Why an address is not opened ("" when it may be opened).
    static wxString RefusalReason(const wxString& strAddress);
    // A failure reason a person understands, from the engine's error text and
    // its last message about the stream.
    static wxString DescribeFailure(const wxString& strError, const wxString& strLog);

private:
    wxString GetTitle() const;
    wxString GetBitrateText() const;

    EState m_eState; // Connecting while a stream is on its way or playing

    wxString m_strAddress;
    wxString m_strReason;
    bool m_bLoaded;
    bool m_bStarted;
    bool m_bPaused;
    bool m_bWaiting;
    int m_nBufferPercent;
    wxString m_strStreamTitle;
    wxString m_strMediaTitle;
    wxString m_strStationName;
    wxString m_strChannelName;
    int m_nDeclaredKbps;
    int m_nShownMeasuredKbps;
    wxString m_strNoPicture;
    int m_nReconnectTry;
};
