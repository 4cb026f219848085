#include "player/PlayerEngine.h"

#include "core/StreamAddress.h"
#include "platform/TextEncoding.h"
#include "player/PlayerOptions.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace
{

// The engine properties the control watches; the number comes back with
// every change.
enum EProperty : std::uint64_t
{
    kPause = 1,
    kPausedForCache,
    kBufferingState,
    kMediaTitle,
    kStreamTitle,
    kStationName,
    kDeclaredBitrate,
    kAudioBitrate,
    kVideoBitrate,
    kVolume,
    kMute,
    kVideoConfigured,
    kTracks
};

struct CWatchedProperty
{
    EProperty eId;
    const char* pszName;
    int nFormat; // mpv_format
};

const CWatchedProperty kWatched[] = {
    {kPause, "pause", MPV_FORMAT_FLAG},
    {kPausedForCache, "paused-for-cache", MPV_FORMAT_FLAG},
    {kBufferingState, "cache-buffering-state", MPV_FORMAT_INT64},
    {kMediaTitle, "media-title", MPV_FORMAT_STRING},
    {kStreamTitle, "metadata/by-key/icy-title", MPV_FORMAT_STRING},
    {kStationName, "metadata/by-key/icy-name", MPV_FORMAT_STRING},
    {kDeclaredBitrate, "metadata/by-key/icy-br", MPV_FORMAT_STRING},
    {kAudioBitrate, "audio-bitrate", MPV_FORMAT_DOUBLE},
    {kVideoBitrate, "video-bitrate", MPV_FORMAT_DOUBLE},
    {kVolume, "volume", MPV_FORMAT_DOUBLE},
    {kMute, "mute", MPV_FORMAT_FLAG},
    {kVideoConfigured, "vo-configured", MPV_FORMAT_FLAG},
    {kTracks, "track-list", MPV_FORMAT_NODE},
};

// Replies to loadfile carry this mark plus the number of the request, so that
// a late reply to an earlier address is told apart.
constexpr std::uint64_t kLoadReplyMark = std::uint64_t(1) << 62;
constexpr std::int64_t kNoEntry = std::numeric_limits<std::int64_t>::max();
// The mark of the engine's hook before each address it opens.
constexpr std::uint64_t kLoadHook = 1;

// The engine hands the texts a stream announces on as the server sent their
// bytes; older servers send titles and names in a legacy encoding, which is
// decoded rather than dropped.
wxString PropertyText(const mpv_event_property& property)
{
    if (property.format != MPV_FORMAT_STRING || !property.data)
        return wxString();
    const char* pszBytes = *static_cast<char**>(property.data);
    if (!pszBytes)
        return wxString();
    return wxString::FromUTF8(platform::DecodeToUtf8(pszBytes));
}

bool PropertyFlag(const mpv_event_property& property)
{
    return property.format == MPV_FORMAT_FLAG && property.data &&
           *static_cast<int*>(property.data) != 0;
}

double PropertyNumber(const mpv_event_property& property)
{
    if (property.format == MPV_FORMAT_DOUBLE && property.data)
        return *static_cast<double*>(property.data);
    if (property.format == MPV_FORMAT_INT64 && property.data)
        return static_cast<double>(*static_cast<std::int64_t*>(property.data));
    return -1;
}

// The number of the first video track in the engine's track list (-1 when
// there is none).
std::int64_t FirstVideoTrack(const mpv_event_property& property)
{
    if (property.format != MPV_FORMAT_NODE || !property.data)
        return -1;
    const auto* pList = static_cast<const mpv_node*>(property.data);
    if (pList->format != MPV_FORMAT_NODE_ARRAY)
        return -1;
    for (int i = 0; i < pList->u.list->num; ++i)
    {
        const mpv_node& track = pList->u.list->values[i];
        if (track.format != MPV_FORMAT_NODE_MAP)
            continue;
        bool bVideo = false;
        std::int64_t nId = -1;
        for (int k = 0; k < track.u.list->num; ++k)
        {
            const char* pszKey = track.u.list->keys[k];
            const mpv_node& value = track.u.list->values[k];
            if (std::strcmp(pszKey, "type") == 0 && value.format == MPV_FORMAT_STRING)
                bVideo = std::strcmp(value.u.string, "video") == 0;
            else if (std::strcmp(pszKey, "id") == 0 && value.format == MPV_FORMAT_INT64)
                nId = value.u.int64;
        }
        if (bVideo)
            return nId;
    }
    return -1;
}

} // namespace

CPlayerEngine::CPlayerEngine()
    : m_pMpv(nullptr), m_bWakeUpQueued(false), m_bEngineGone(false), m_nLoadRequest(0),
      m_nFirstEntryId(kNoEntry), m_nCurrentEntryId(-1), m_bEndPending(false), m_nEndReason(0),
      m_nEndError(0), m_bNoSoundOutput(false), m_dAudioBitrate(0), m_dVideoBitrate(0),
      m_nVolume(50), m_bVolumeTouched(false), m_bMuted(false), m_bShowingVideo(false),
      m_bVideoEnabled(false), m_nVideoTrack(-1), m_bStreamPlayed(false), m_bWaitingForData(false),
      m_vetting(*this), m_nPendingHook(0), m_reconnectTimer(this)
{
    m_vetting.SetVerdictHandler([this](std::uint64_t nHook, const std::string& strRefusal)
                                { OnLoadVetted(nHook, strRefusal); });
    Bind(wxEVT_THREAD, &CPlayerEngine::OnWakeUp, this);
    Bind(wxEVT_TIMER, &CPlayerEngine::OnReconnectTimer, this, m_reconnectTimer.GetId());
}

CPlayerEngine::~CPlayerEngine()
{
    m_reconnectTimer.Stop();
    if (!m_pMpv)
        return;
    // After this no wake-up can arrive; events already queued die with the handler.
    mpv_set_wakeup_callback(m_pMpv, nullptr, nullptr);
    mpv_terminate_destroy(m_pMpv);
    m_pMpv = nullptr;
}

bool CPlayerEngine::Start()
{
    m_pMpv = mpv_create();
    if (!m_pMpv)
    {
        m_status.FailWithReason("the player engine could not be started");
        return false;
    }
    for (const auto& option : CPlayerOptions::FromEnvironment())
        mpv_set_option_string(m_pMpv, option.first.c_str(), option.second.c_str());
    // No picture until a surface has a render context to draw it in: the
    // video output would fail without one and stay off for the stream.
    mpv_set_option_string(m_pMpv, "vid", "no");
    if (mpv_initialize(m_pMpv) < 0)
    {
        mpv_terminate_destroy(m_pMpv);
        m_pMpv = nullptr;
        m_status.FailWithReason("the player engine could not be started");
        return false;
    }
    // Warnings and errors tell why a stream (or its picture) failed.
    mpv_request_log_messages(m_pMpv, "warn");
    for (const auto& watched : kWatched)
        mpv_observe_property(m_pMpv, watched.eId, watched.pszName,
                             static_cast<mpv_format>(watched.nFormat));
    mpv_hook_add(m_pMpv, kLoadHook, "on_load", 0);
    mpv_set_wakeup_callback(m_pMpv, &CPlayerEngine::OnWakeUpCallback, this);
    return true;
}

void CPlayerEngine::OnWakeUpCallback(void* pContext)
{
    // Runs on one of the engine's threads: only queue an event for the GUI thread.
    auto* pEngine = static_cast<CPlayerEngine*>(pContext);
    if (!pEngine->m_bWakeUpQueued.exchange(true))
        pEngine->QueueEvent(new wxThreadEvent());
}

void CPlayerEngine::OnWakeUp(wxThreadEvent& /*event*/)
{
    m_bWakeUpQueued = false;
    while (m_pMpv && !m_bEngineGone)
    {
        const mpv_event* pEvent = mpv_wait_event(m_pMpv, 0);
        if (pEvent->event_id == MPV_EVENT_NONE)
            break;
        HandleEngineEvent(*pEvent);
    }
    ApplyPendingEnd();
    ShowNoPicture();
    Changed();
}

void CPlayerEngine::Changed()
{
    if (m_onChange)
        m_onChange();
}

mpv_render_context* CPlayerEngine::CreateRenderContext(mpv_render_param* pParams, int* pnError)
{
    mpv_render_context* pContext = nullptr;
    const int nError =
        m_pMpv ? mpv_render_context_create(&pContext, m_pMpv, pParams) : MPV_ERROR_UNINITIALIZED;
    if (pnError)
        *pnError = nError;
    return nError < 0 ? nullptr : pContext;
}

void CPlayerEngine::EnableVideo()
{
    m_strSurfaceProblem.clear();
    if (!m_pMpv || m_bEngineGone)
        return;
    m_bVideoEnabled = true;
    m_strStreamPictureProblem.clear();
    if (m_nVideoTrack >= 0)
    {
        // A surface gave its context up while this stream played, which
        // turned its video off: it is turned on again by its number.
        std::int64_t nTrack = m_nVideoTrack;
        mpv_set_property_async(m_pMpv, 0, "vid", MPV_FORMAT_INT64, &nTrack);
    }
    else
    {
        const char* pszAuto = "auto";
        mpv_set_property_async(m_pMpv, 0, "vid", MPV_FORMAT_STRING, &pszAuto);
    }
    ShowNoPicture();
    Changed();
}

void CPlayerEngine::SetSurfaceProblem(const wxString& strReason)
{
    m_strSurfaceProblem = strReason;
    if (!strReason.empty())
        m_bVideoEnabled = false;
    ShowNoPicture();
    Changed();
}

void CPlayerEngine::ShowNoPicture()
{
    // Only a stream that has a picture misses it.
    wxString strReason;
    if (m_nVideoTrack >= 0)
        strReason =
            !m_strStreamPictureProblem.empty() ? m_strStreamPictureProblem : m_strSurfaceProblem;
    m_status.SetNoPicture(strReason);
}

void CPlayerEngine::Open(const wxString& strUrl, const wxString& strChannelName)
{
    m_strUrl = strUrl;
    m_strChannelName = strChannelName;
    ForgetCurrentStream();
    if (!m_pMpv || m_bEngineGone)
    {
        Changed();
        return;
    }
    const std::string strUtf8 = strUrl.ToStdString(wxConvUTF8);
    if (!IsNetworkStreamAddress(strUtf8))
    {
        // What played before is stopped: the person asked for something else.
        const char* stopArgs[] = {"stop", nullptr};
        mpv_command_async(m_pMpv, 0, stopArgs);
        m_status.Refuse(strUrl);
        Changed();
        return;
    }
    SetEngineFlag("pause", false);
    LoadCurrentUrl();
    m_status.Open(strUrl, m_strChannelName);
    Changed();
}

void CPlayerEngine::NameChannel(const wxString& strChannelName)
{
    if (strChannelName == m_strChannelName)
        return;
    m_strChannelName = strChannelName;
    m_status.SetChannelName(strChannelName);
    Changed();
}

void CPlayerEngine::LoadCurrentUrl()
{
    if (m_bVideoEnabled)
    {
        // Each stream picks its own picture.
        const char* pszAuto = "auto";
        mpv_set_property_async(m_pMpv, 0, "vid", MPV_FORMAT_STRING, &pszAuto);
    }
    ReleasePendingLoad();
    m_vetting.Restart();
    const std::string strUtf8 = m_strUrl.ToStdString(wxConvUTF8);
    const char* loadArgs[] = {"loadfile", strUtf8.c_str(), "replace", nullptr};
    mpv_command_async(m_pMpv, kLoadReplyMark | ++m_nLoadRequest, loadArgs);
}

void CPlayerEngine::Stop()
{
    ForgetCurrentStream();
    if (m_pMpv && !m_bEngineGone)
    {
        const char* stopArgs[] = {"stop", nullptr};
        mpv_command_async(m_pMpv, 0, stopArgs);
        m_status.Stop();
    }
    Changed();
}

void CPlayerEngine::Play()
{
    if (m_status.GetState() == CPlayerStatus::EState::Paused)
        SetEngineFlag("pause", false);
    else if (!m_status.IsActive() && !m_strUrl.empty())
        Open(m_strUrl);
}

void CPlayerEngine::Pause()
{
    if (m_status.IsActive())
        SetEngineFlag("pause", true);
}

void CPlayerEngine::SetVolume(int nVolume)
{
    m_bVolumeTouched = true;
    m_nVolume = nVolume < 0 ? 0 : (nVolume > 100 ? 100 : nVolume);
    if (m_pMpv && !m_bEngineGone)
    {
        double dVolume = m_nVolume;
        mpv_set_property_async(m_pMpv, 0, "volume", MPV_FORMAT_DOUBLE, &dVolume);
    }
    Changed();
}

void CPlayerEngine::SetMute(bool bMute)
{
    m_bMuted = bMute;
    SetEngineFlag("mute", bMute);
    Changed();
}

void CPlayerEngine::SetEngineFlag(const char* pszName, bool bValue)
{
    if (!m_pMpv || m_bEngineGone)
        return;
    int nFlag = bValue ? 1 : 0;
    mpv_set_property_async(m_pMpv, 0, pszName, MPV_FORMAT_FLAG, &nFlag);
}

void CPlayerEngine::ForgetCurrentStream()
{
    CancelReconnect();
    ReleasePendingLoad();
    m_bStreamPlayed = false;
    // Whatever the engine still reports about earlier addresses is ignored
    // from now on.
    m_nFirstEntryId = kNoEntry;
    m_nCurrentEntryId = -1;
    m_strLastEngineMessage.clear();
    m_strStreamPictureProblem.clear();
    m_nVideoTrack = -1;
    m_bEndPending = false;
    m_bNoSoundOutput = false;
    m_dAudioBitrate = m_dVideoBitrate = 0;
}

void CPlayerEngine::HandleEngineEvent(const mpv_event& event)
{
    switch (event.event_id)
    {
    case MPV_EVENT_COMMAND_REPLY:
        HandleReply(event);
        break;
    case MPV_EVENT_START_FILE:
        HandleStartFile(event);
        break;
    case MPV_EVENT_FILE_LOADED:
        if (m_nCurrentEntryId >= 0)
            m_status.Loaded();
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (m_nCurrentEntryId >= 0)
        {
            m_status.Started();
            m_bStreamPlayed = true;
            m_reconnect.OnPlaying(CReconnectPolicy::Clock::now());
        }
        break;
    case MPV_EVENT_END_FILE:
        HandleEndFile(event);
        break;
    case MPV_EVENT_LOG_MESSAGE:
        HandleLogMessage(event);
        break;
    case MPV_EVENT_HOOK:
        HandleLoadHook(event);
        break;
    case MPV_EVENT_PROPERTY_CHANGE:
        HandlePropertyChange(*static_cast<mpv_event_property*>(event.data), event.reply_userdata);
        break;
    case MPV_EVENT_SHUTDOWN:
        CancelReconnect();
        m_bEngineGone = true;
        m_status.FailWithReason("the player engine has stopped");
        break;
    default:
        break;
    }
}

void CPlayerEngine::HandleReply(const mpv_event& event)
{
    if (event.reply_userdata != (kLoadReplyMark | m_nLoadRequest) || m_nLoadRequest == 0)
        return;
    if (event.error < 0)
    {
        m_status.Fail(mpv_error_string(event.error), wxString());
        return;
    }
    // The engine names the playlist entry it made of the address; entries
    // from that one on (a playlist behind the address adds more) are ours.
    const auto* pCommand = static_cast<const mpv_event_command*>(event.data);
    const mpv_node& result = pCommand->result;
    if (result.format != MPV_FORMAT_NODE_MAP)
        return;
    for (int i = 0; i < result.u.list->num; ++i)
    {
        if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
            result.u.list->values[i].format == MPV_FORMAT_INT64)
            m_nFirstEntryId = result.u.list->values[i].u.int64;
    }
}

void CPlayerEngine::HandleStartFile(const mpv_event& event)
{
    const auto* pStart = static_cast<const mpv_event_start_file*>(event.data);
    // Entries that are not the stream's leave its end as it is: the
    // engine's messages about that end are still to come.
    if (pStart->playlist_entry_id < m_nFirstEntryId)
        return;
    ApplyPendingEnd();
    m_nCurrentEntryId = pStart->playlist_entry_id;
    m_strLastEngineMessage.clear();
    m_strStreamPictureProblem.clear();
    m_bNoSoundOutput = false;
    m_bWaitingForData = false;
    m_lastWait = std::chrono::milliseconds(0);
    m_status.Open(m_strUrl, m_strChannelName);
    // A reopened stream keeps saying which try it is until it plays.
    m_status.SetReconnecting(m_reconnect.GetTry());
}

void CPlayerEngine::HandleEndFile(const mpv_event& event)
{
    const auto* pEnd = static_cast<const mpv_event_end_file*>(event.data);
    if (pEnd->playlist_entry_id != m_nCurrentEntryId || m_nCurrentEntryId < 0)
        return;
    m_nCurrentEntryId = -1;
    // A playlist behind the address (redirect) goes on with its first entry;
    // a stop was asked for by this control and is shown already.
    if (pEnd->reason != MPV_END_FILE_REASON_EOF && pEnd->reason != MPV_END_FILE_REASON_ERROR)
        return;
    // The engine would go on with the playlist's next entries: they are not
    // the stream's, and are refused as they come.
    m_nFirstEntryId = kNoEntry;
    m_bEndPending = true;
    m_nEndReason = pEnd->reason;
    m_nEndError = pEnd->error;
}

void CPlayerEngine::ApplyPendingEnd()
{
    if (!m_bEndPending)
        return;
    m_bEndPending = false;
    // Opening the stream again would only fail again on the same output;
    // the next Play tries anew.
    if (m_bNoSoundOutput)
    {
        m_status.FailWithReason("no sound output could be opened");
        return;
    }
    if (ScheduleReconnect())
        return;
    if (m_nEndReason == MPV_END_FILE_REASON_EOF)
        m_status.End(m_strLastEngineMessage);
    else
        m_status.Fail(mpv_error_string(m_nEndError), m_strLastEngineMessage);
}

void CPlayerEngine::NoteWaitingForData(bool bWaiting)
{
    const auto now = CReconnectPolicy::Clock::now();
    if (bWaiting && !m_bWaitingForData)
        m_waitStart = now;
    else if (!bWaiting && m_bWaitingForData)
    {
        m_lastWaitEnd = now;
        m_lastWait = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_waitStart);
    }
    m_bWaitingForData = bWaiting;
}

bool CPlayerEngine::WasStalled() const
{
    // A stream that stalls keeps the engine waiting for data until the
    // network read gives up, and then ends as if it were over.
    constexpr std::chrono::milliseconds kLongWait{3000};
    constexpr std::chrono::milliseconds kJustNow{2000};
    const auto now = CReconnectPolicy::Clock::now();
    if (m_bWaitingForData)
        return now - m_waitStart >= kLongWait;
    return m_lastWait >= kLongWait && now - m_lastWaitEnd <= kJustNow;
}

CReconnectPolicy::EDrop CPlayerEngine::ClassifyDrop() const
{
    using EDrop = CReconnectPolicy::EDrop;
    if (m_nEndReason == MPV_END_FILE_REASON_EOF)
    {
        // The network layer says when the data stopped short of the end; a
        // live stream has no end, so its closed connection always does.
        if (m_strLastEngineMessage.Contains("ends prematurely"))
            return EDrop::Ended;
        return WasStalled() ? EDrop::Stalled : EDrop::EndedComplete;
    }
    // The network layer's words for a server that refuses the request
    // ("HTTP error 410 Gone"): a 4xx is the server's answer, not a drop.
    if (m_strLastEngineMessage.Contains("HTTP error 4"))
        return EDrop::ClientError;
    return EDrop::Broken;
}

bool CPlayerEngine::ScheduleReconnect()
{
    // Only a stream that has played has dropped; one that never started
    // failed, and the person learns why at once.
    if (!m_bStreamPlayed || m_bEngineGone)
        return false;
    const auto decision = m_reconnect.OnDropped(ClassifyDrop(), CReconnectPolicy::Clock::now());
    if (!decision.bRetry)
    {
        m_status.SetReconnecting(0);
        return false;
    }
    m_status.SetReconnecting(decision.nTry);
    m_reconnectTimer.StartOnce(static_cast<int>(decision.delay.count()));
    return true;
}

void CPlayerEngine::OnReconnectTimer(wxTimerEvent& /*event*/)
{
    if (!m_pMpv || m_bEngineGone || !m_reconnect.IsReconnecting())
        return;
    m_nFirstEntryId = kNoEntry;
    m_nCurrentEntryId = -1;
    m_strLastEngineMessage.clear();
    LoadCurrentUrl();
    Changed();
}

void CPlayerEngine::CancelReconnect()
{
    m_reconnectTimer.Stop();
    m_reconnect.Reset();
}

void CPlayerEngine::HandleLogMessage(const mpv_event& event)
{
    const auto* pMessage = static_cast<const mpv_event_log_message*>(event.data);
    // A picture that cannot be decoded or shown leaves the sound playing;
    // the status says what is missing.
    if (pMessage->log_level <= MPV_LOG_LEVEL_ERROR && m_nCurrentEntryId >= 0)
    {
        if (std::strcmp(pMessage->prefix, "vd") == 0)
            m_strStreamPictureProblem = "the video cannot be decoded";
        else if (std::strncmp(pMessage->prefix, "vo", 2) == 0 ||
                 std::strstr(pMessage->text, "video_out"))
            m_strStreamPictureProblem = "the video output failed";
    }
    // The engine tells once, for the stream, that no sound output could be
    // opened (it has played nothing then, though it had started).
    if (pMessage->log_level <= MPV_LOG_LEVEL_ERROR && m_nCurrentEntryId >= 0 &&
        std::strcmp(pMessage->prefix, "cplayer") == 0 &&
        std::strstr(pMessage->text, "Could not open/initialize audio device"))
        m_bNoSoundOutput = true;
    // The network layer says why a stream failed ("Connection refused",
    // "HTTP error 404 Not Found"); the other modules only repeat it.
    if (std::strcmp(pMessage->prefix, "ffmpeg") != 0)
        return;
    const wxString strText = wxString::FromUTF8(pMessage->text).Trim(true);
    if (!strText.empty())
        m_strLastEngineMessage = strText;
}

void CPlayerEngine::HandleLoadHook(const mpv_event& event)
{
    const auto* pHook = static_cast<const mpv_event_hook*>(event.data);
    if (event.reply_userdata != kLoadHook)
    {
        mpv_hook_continue(m_pMpv, pHook->id);
        return;
    }
    // Not a load of the current stream: an entry after the one that played.
    if (m_nCurrentEntryId < 0)
    {
        RefuseLoad(pHook->id, wxString());
        return;
    }
    char* pszAddress = mpv_get_property_string(m_pMpv, "stream-open-filename");
    const std::string strAddress = pszAddress ? pszAddress : "";
    mpv_free(pszAddress);
    switch (m_vetting.OnLoad(strAddress, pHook->id))
    {
    case CLoadVetting::EVerdict::Allow:
        mpv_hook_continue(m_pMpv, pHook->id);
        break;
    case CLoadVetting::EVerdict::Refuse:
        RefuseLoad(pHook->id, wxString::FromUTF8(m_vetting.GetRefusal()));
        break;
    case CLoadVetting::EVerdict::Wait:
        m_nPendingHook = pHook->id;
        break;
    }
}

void CPlayerEngine::OnLoadVetted(std::uint64_t nHook, const std::string& strRefusal)
{
    if (nHook != m_nPendingHook || !m_pMpv || m_bEngineGone)
        return;
    m_nPendingHook = 0;
    if (strRefusal.empty())
        mpv_hook_continue(m_pMpv, nHook);
    else
        RefuseLoad(nHook, wxString::FromUTF8(strRefusal));
    Changed();
}

void CPlayerEngine::RefuseLoad(std::uint64_t nHook, const wxString& strReason)
{
    // The engine opens nothing in its place, and stops.
    mpv_set_property_string(m_pMpv, "stream-open-filename", "null://");
    mpv_hook_continue(m_pMpv, nHook);
    const char* stopArgs[] = {"stop", nullptr};
    mpv_command_async(m_pMpv, 0, stopArgs);
    if (strReason.empty())
        return;
    CancelReconnect();
    m_nFirstEntryId = kNoEntry;
    m_nCurrentEntryId = -1;
    m_status.FailWithReason(strReason);
}

void CPlayerEngine::ReleasePendingLoad()
{
    // A load still waiting for its verdict is let go unopened; what follows
    // (another address, or stop) replaces it.
    if (m_nPendingHook == 0 || !m_pMpv || m_bEngineGone)
        return;
    mpv_set_property_string(m_pMpv, "stream-open-filename", "null://");
    mpv_hook_continue(m_pMpv, m_nPendingHook);
    m_nPendingHook = 0;
}

void CPlayerEngine::HandlePropertyChange(const mpv_event_property& property, std::uint64_t nId)
{
    switch (nId)
    {
    case kPause:
        m_status.SetPaused(PropertyFlag(property));
        break;
    case kPausedForCache:
        m_status.SetWaitingForData(PropertyFlag(property));
        NoteWaitingForData(PropertyFlag(property));
        break;
    case kBufferingState:
        m_status.SetBufferPercent(static_cast<int>(PropertyNumber(property)));
        break;
    case kMediaTitle:
        m_status.SetMediaTitle(PropertyText(property));
        break;
    case kStreamTitle:
        m_status.SetStreamTitle(PropertyText(property));
        break;
    case kStationName:
        m_status.SetStationName(PropertyText(property));
        break;
    case kDeclaredBitrate:
        m_status.SetDeclaredBitrate(PropertyText(property));
        break;
    case kAudioBitrate:
    case kVideoBitrate:
        (nId == kAudioBitrate ? m_dAudioBitrate : m_dVideoBitrate) =
            std::max(0.0, PropertyNumber(property));
        m_status.SetMeasuredBitrate(m_dAudioBitrate + m_dVideoBitrate);
        break;
    case kVolume:
        // The engine's own starting volume (an extra option may set one) shows
        // on the slider until the person moves it; after that the slider leads.
        if (!m_bVolumeTouched && PropertyNumber(property) >= 0)
            m_nVolume = static_cast<int>(PropertyNumber(property) + 0.5);
        break;
    case kMute:
        m_bMuted = PropertyFlag(property);
        break;
    case kVideoConfigured:
        m_bShowingVideo = PropertyFlag(property);
        break;
    case kTracks:
        m_nVideoTrack = FirstVideoTrack(property);
        break;
    default:
        break;
    }
}
