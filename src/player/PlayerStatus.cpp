#include "player/PlayerStatus.h"

#include "core/StreamAddress.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace
{

// The engine's messages start with the protocol that wrote them ("tcp: ...",
// "http: ..."); a person does not need that part.
wxString WithoutProtocolPrefix(const wxString& strLog)
{
    wxString strText = strLog;
    strText.Trim(true).Trim(false);
    const int nColon = strText.Find(':');
    if (nColon > 0 && nColon < 12 && strText.Mid(nColon + 1, 1) == " " &&
        strText.Left(nColon).IsWord())
        strText = strText.Mid(nColon + 2);
    return strText;
}

bool IsLostConnection(const wxString& strLog)
{
    return strLog.Contains("Stream ends prematurely") || strLog.Contains("Connection reset") ||
           strLog.Contains("Broken pipe");
}

// A network reason from the engine's last message ("" when it gives none).
wxString NetworkReason(const wxString& strLog)
{
    if (strLog.Contains("Connection refused"))
        return "connection refused";
    if (strLog.Contains("Failed to resolve hostname") ||
        strLog.Contains("Name or service not known"))
        return "server not found";
    if (strLog.Contains("timed out"))
        return "no answer from the server";
    if (IsLostConnection(strLog))
        return "connection lost";
    const int nHttp = strLog.Find("HTTP error ");
    if (nHttp != wxNOT_FOUND)
        return "the server answered " + strLog.Mid(nHttp + 11).Trim(true);
    return wxString();
}

// A reason from the engine's error text ("" when it is not one we know).
wxString EngineReason(const wxString& strError)
{
    if (strError == "loading failed")
        return "the stream could not be opened";
    if (strError == "unrecognized file format")
        return "not a sound or video stream";
    if (strError == "no audio or video data played")
        return "nothing to play in the stream";
    if (strError == "audio output initialization failed")
        return "no sound output available";
    if (strError == "video output initialization failed")
        return "no video output available";
    return wxString();
}

// "%C3%A9" and the like back to the characters they stand for, the way the
// engine shows an address; the text as it is when it is not valid UTF-8.
wxString Unescaped(const wxString& strText)
{
    const wxScopedCharBuffer utf8 = strText.utf8_str();
    std::string strBytes;
    for (std::size_t i = 0; i < utf8.length(); ++i)
    {
        long nByte = 0;
        if (utf8[i] == '%' && i + 2 < utf8.length() &&
            wxString(utf8.data() + i + 1, 2).ToLong(&nByte, 16))
        {
            strBytes += static_cast<char>(nByte);
            i += 2;
        }
        else
            strBytes += utf8[i];
    }
    const wxString strDecoded = wxString::FromUTF8(strBytes.data(), strBytes.size());
    return strDecoded.empty() && !strBytes.empty() ? strText : strDecoded;
}

} // namespace

CPlayerStatus::CPlayerStatus()
    : m_eState(EState::Ready), m_bLoaded(false), m_bStarted(false), m_bPaused(false),
      m_bWaiting(false), m_nBufferPercent(-1), m_nDeclaredKbps(0), m_nShownMeasuredKbps(0),
      m_nReconnectTry(0)
{
}

void CPlayerStatus::Open(const wxString& strAddress, const wxString& strChannelName)
{
    m_eState = EState::Connecting;
    m_strAddress = strAddress;
    m_strChannelName = strChannelName;
    m_strReason.clear();
    m_bLoaded = m_bStarted = m_bPaused = m_bWaiting = false;
    m_nBufferPercent = -1;
    m_strStreamTitle.clear();
    m_strMediaTitle.clear();
    m_strStationName.clear();
    m_nDeclaredKbps = m_nShownMeasuredKbps = 0;
    m_strNoPicture.clear();
    m_nReconnectTry = 0;
}

void CPlayerStatus::SetNoPicture(const wxString& strReason)
{
    m_strNoPicture = strReason;
}

void CPlayerStatus::Refuse(const wxString& strAddress)
{
    Open(strAddress);
    m_eState = EState::Refused;
    m_strReason = RefusalReason(strAddress);
}

void CPlayerStatus::Loaded()
{
    m_bLoaded = true;
}

void CPlayerStatus::Started()
{
    m_bLoaded = m_bStarted = true;
    m_nReconnectTry = 0;
}

void CPlayerStatus::SetReconnecting(int nTry)
{
    m_nReconnectTry = nTry;
}

void CPlayerStatus::SetPaused(bool bPaused)
{
    m_bPaused = bPaused;
}

void CPlayerStatus::SetWaitingForData(bool bWaiting)
{
    m_bWaiting = bWaiting;
}

void CPlayerStatus::SetBufferPercent(int nPercent)
{
    m_nBufferPercent = nPercent < 0 ? -1 : (nPercent > 100 ? 100 : nPercent);
}

void CPlayerStatus::Stop()
{
    m_eState = EState::Stopped;
}

void CPlayerStatus::End(const wxString& strLog)
{
    m_eState = EState::Ended;
    m_strReason = IsLostConnection(strLog) ? wxString("connection lost") : wxString();
}

void CPlayerStatus::Fail(const wxString& strError, const wxString& strLog)
{
    FailWithReason(DescribeFailure(strError, strLog));
}

void CPlayerStatus::FailWithReason(const wxString& strReason)
{
    m_eState = EState::Failed;
    m_strReason = strReason;
}

void CPlayerStatus::SetStreamTitle(const wxString& strTitle)
{
    m_strStreamTitle = strTitle;
    m_strStreamTitle.Trim(true).Trim(false);
}

void CPlayerStatus::SetMediaTitle(const wxString& strTitle)
{
    m_strMediaTitle = strTitle;
    m_strMediaTitle.Trim(true).Trim(false);
}

void CPlayerStatus::SetStationName(const wxString& strName)
{
    m_strStationName = strName;
    m_strStationName.Trim(true).Trim(false);
}

void CPlayerStatus::SetDeclaredBitrate(const wxString& strKbps)
{
    long nKbps = 0;
    wxString strTrimmed = strKbps;
    m_nDeclaredKbps =
        strTrimmed.Trim(true).Trim(false).ToLong(&nKbps) && nKbps > 0 && nKbps < 100000
            ? static_cast<int>(nKbps)
            : 0;
}

void CPlayerStatus::SetMeasuredBitrate(double dBitsPerSecond)
{
    if (!(dBitsPerSecond > 0))
        return;
    const int nKbps = static_cast<int>(std::lround(dBitsPerSecond / 1000.0));
    // The measured figure moves a little every second; the text follows it
    // only when it really changes, so the status does not flicker.
    if (m_nShownMeasuredKbps == 0 ||
        std::abs(nKbps - m_nShownMeasuredKbps) * 10 > m_nShownMeasuredKbps)
        m_nShownMeasuredKbps = nKbps;
}

CPlayerStatus::EState CPlayerStatus::GetState() const
{
    if (m_eState != EState::Connecting)
        return m_eState;
    if (m_bPaused)
        return EState::Paused;
    // A dropped live stream that is being opened again is still the
    // station the person listens to.
    if (m_nReconnectTry > 0)
        return EState::Playing;
    if (!m_bLoaded)
        return EState::Connecting;
    if (!m_bStarted || m_bWaiting)
        return EState::Buffering;
    return EState::Playing;
}

bool CPlayerStatus::IsActive() const
{
    return m_eState == EState::Connecting;
}

wxString CPlayerStatus::GetText() const
{
    switch (GetState())
    {
    case EState::Ready:
        return "Ready";
    case EState::Stopped:
        return "Stopped";
    case EState::Paused:
        return "Paused";
    case EState::Connecting:
    {
        const wxString strHost = HostOf(m_strAddress);
        return strHost.empty() ? wxString("Connecting...") : "Connecting to " + strHost + "...";
    }
    case EState::Buffering:
        if (m_bWaiting && m_nBufferPercent >= 0)
            return wxString::Format("Buffering %d%%", m_nBufferPercent);
        return "Buffering...";
    case EState::Playing:
    {
        if (m_nReconnectTry > 0)
            return wxString::Format("Reconnecting... (try %d)", m_nReconnectTry);
        wxString strText = "Playing";
        const wxString strTitle = GetTitle();
        if (!strTitle.empty())
            strText += ": " + strTitle;
        const wxString strBitrate = GetBitrateText();
        if (!strBitrate.empty())
            strText += " (" + strBitrate + ")";
        // The sound goes on without the picture; the person learns why.
        if (!m_strNoPicture.empty())
            strText += " (no picture: " + m_strNoPicture + ")";
        return strText;
    }
    case EState::Ended:
        return m_strReason.empty() ? wxString("Stream ended") : "Stream ended: " + m_strReason;
    case EState::Failed:
        return "Failed: " + m_strReason;
    case EState::Refused:
        return "Not played: " + m_strReason;
    }
    return wxString();
}

wxString CPlayerStatus::GetTitle() const
{
    if (!m_strStreamTitle.empty())
        return m_strStreamTitle;
    // Without a title of its own the engine names the stream after its
    // address; that says nothing the person does not know already.
    const wxString strFileName = m_strAddress.AfterLast('/');
    const bool bOnlyTheAddress =
        m_strMediaTitle == m_strAddress || m_strMediaTitle == strFileName ||
        m_strMediaTitle == Unescaped(m_strAddress) || m_strMediaTitle == Unescaped(strFileName);
    if (!m_strMediaTitle.empty() && !bOnlyTheAddress)
        return m_strMediaTitle;
    // The person's own name for the channel says more than whatever the
    // server calls itself (often "Unnamed" or the software's name).
    return !m_strChannelName.empty() ? m_strChannelName : m_strStationName;
}

wxString CPlayerStatus::GetBitrateText() const
{
    const int nKbps = m_nDeclaredKbps > 0 ? m_nDeclaredKbps : m_nShownMeasuredKbps;
    return nKbps > 0 ? wxString::Format("%d kbps", nKbps) : wxString();
}

wxString CPlayerStatus::HostOf(const wxString& strAddress)
{
    const int nStart = strAddress.Find("://");
    if (nStart == wxNOT_FOUND)
        return wxString();
    wxString strAuthority = strAddress.Mid(nStart + 3);
    for (const char cEnd : {'/', '?', '#'})
        strAuthority = strAuthority.BeforeFirst(cEnd);
    strAuthority = strAuthority.AfterLast('@');
    if (strAuthority.StartsWith("["))
        return strAuthority.Mid(1).BeforeFirst(']');
    return strAuthority.BeforeFirst(':');
}

wxString CPlayerStatus::RefusalReason(const wxString& strAddress)
{
    const std::string strUtf8 = strAddress.ToStdString(wxConvUTF8);
    if (IsNetworkStreamAddress(strUtf8))
        return wxString();
    wxString strTrimmed = strAddress;
    if (strTrimmed.Trim(true).Trim(false).empty())
        return "no address";
    const wxString strScheme = wxString::FromUTF8(AddressScheme(strUtf8));
    if (strScheme == "file")
        return "local files are not opened";
    if (strScheme.empty())
        return "not a network address";
    if (IsNetworkStreamAddress(strScheme.ToStdString() + "://host"))
        return "incomplete or invalid address";
    return strScheme + ": addresses are not opened";
}

wxString CPlayerStatus::DescribeFailure(const wxString& strError, const wxString& strLog)
{
    const wxString strNetwork = NetworkReason(strLog);
    if (!strNetwork.empty())
        return strNetwork;
    const wxString strEngine = EngineReason(strError);
    if (!strEngine.empty())
        return strEngine;
    const wxString strText = WithoutProtocolPrefix(strLog);
    if (!strText.empty())
        return strText;
    return strError.empty() ? wxString("unknown error") : strError;
}
