#include "player/WMPPlayer4.h"

#include "core/StreamAddress.h"
#include "platform/NativeWindow.h"
#include "player/PlayerOptions.h"

#include <mpv/client.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>

#include <algorithm>
#include <cstring>
#include <limits>

wxDEFINE_EVENT(wcEVT_PLAYER_STATUS_CHANGE, wxCommandEvent);
wxDEFINE_EVENT(wcEVT_PLAYER_PLAY_STATE_CHANGE, wxCommandEvent);
wxDEFINE_EVENT(wcEVT_PLAYER_VOLUME_CHANGE, wxCommandEvent);

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
    kVideoConfigured
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
};

// Replies to loadfile carry this mark plus the number of the request, so that
// a late reply to an earlier address is told apart.
constexpr std::uint64_t kLoadReplyMark = std::uint64_t(1) << 62;
constexpr std::int64_t kNoEntry = std::numeric_limits<std::int64_t>::max();

wxString PropertyText(const mpv_event_property& property)
{
    if (property.format != MPV_FORMAT_STRING || !property.data)
        return wxString();
    return wxString::FromUTF8(*static_cast<char**>(property.data));
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

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CWMPPlayer4, wxPanel);

CWMPPlayer4::CWMPPlayer4()
    : m_pMpv(nullptr), m_bWakeUpQueued(false), m_bEngineGone(false),
      m_eLastState(CPlayerStatus::EState::Ready), m_nLoadRequest(0), m_nFirstEntryId(kNoEntry),
      m_nCurrentEntryId(-1), m_bEndPending(false), m_nEndReason(0), m_nEndError(0),
      m_dAudioBitrate(0), m_dVideoBitrate(0), m_nVolume(50), m_bVolumeTouched(false),
      m_bMuted(false), m_nVideoWindowId(0), m_bShowingVideo(false), m_pVideo(nullptr),
      m_pPlayPause(nullptr), m_pStop(nullptr), m_pStatusLabel(nullptr), m_pMute(nullptr),
      m_pVolume(nullptr)
{
}

CWMPPlayer4::CWMPPlayer4(wxWindow* pParent, wxWindowID nId, const wxPoint& pos, const wxSize& size)
    : CWMPPlayer4()
{
    Create(pParent, nId, pos, size);
}

CWMPPlayer4::~CWMPPlayer4()
{
    if (!m_pMpv)
        return;
    // After this no wake-up can arrive; events already queued die with the window.
    mpv_set_wakeup_callback(m_pMpv, nullptr, nullptr);
    // Ends playback and closes the picture while this window still exists.
    mpv_terminate_destroy(m_pMpv);
    m_pMpv = nullptr;
}

bool CWMPPlayer4::Create(wxWindow* pParent, wxWindowID nId, const wxPoint& pos, const wxSize& size)
{
    if (!wxPanel::Create(pParent, nId, pos, size, wxTAB_TRAVERSAL | wxNO_BORDER, "WMPPlayer4"))
        return false;
    const bool bStarted = StartEngine();
    CreateControls();
    if (!bStarted)
        m_status.FailWithReason("the player engine could not be started");
    // The first text is no change: the owner reads it when it wants it.
    m_strStatusText = m_status.GetText();
    m_eLastState = m_status.GetState();
    m_pStatusLabel->SetLabelText(m_strStatusText);
    EmbedVideo(); // in case the window is on screen already
    return bStarted;
}

bool CWMPPlayer4::StartEngine()
{
    m_pMpv = mpv_create();
    if (!m_pMpv)
        return false;
    for (const auto& option : CPlayerOptions::FromEnvironment())
        mpv_set_option_string(m_pMpv, option.first.c_str(), option.second.c_str());
    // No picture until the engine can draw into this window: without a
    // window to draw in it would open a window of its own.
    mpv_set_option_string(m_pMpv, "vid", "no");
    if (mpv_initialize(m_pMpv) < 0)
    {
        mpv_terminate_destroy(m_pMpv);
        m_pMpv = nullptr;
        return false;
    }
    // Warnings and errors tell why a stream failed.
    mpv_request_log_messages(m_pMpv, "warn");
    for (const auto& watched : kWatched)
        mpv_observe_property(m_pMpv, watched.eId, watched.pszName,
                             static_cast<mpv_format>(watched.nFormat));
    mpv_set_wakeup_callback(m_pMpv, &CWMPPlayer4::OnEngineWakeUpCallback, this);
    return true;
}

void CWMPPlayer4::CreateControls()
{
    m_pVideo = new wxWindow(this, ID_VIDEO, wxDefaultPosition, wxSize(-1, 20), wxNO_BORDER);
    m_pVideo->SetBackgroundColour(*wxBLACK);
    m_pPlayPause = new wxButton(this, ID_PLAY_PAUSE, "Pause");
    // Wide enough for both of its labels.
    m_pPlayPause->SetMinSize(m_pPlayPause->GetBestSize());
    m_pPlayPause->SetLabel("Play");
    m_pStop = new wxButton(this, ID_STOP, "Stop");
    m_pStatusLabel = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                      wxST_ELLIPSIZE_END | wxST_NO_AUTORESIZE);
    m_pMute = new wxToggleButton(this, ID_MUTE, "Mute");
    m_pVolume =
        new wxSlider(this, ID_VOLUME, m_nVolume, 0, 100, wxDefaultPosition, wxSize(100, -1));
    m_pVolume->SetToolTip("Volume");

    auto* pBar = new wxBoxSizer(wxHORIZONTAL);
    pBar->Add(m_pPlayPause, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    pBar->Add(m_pStop, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    pBar->Add(m_pStatusLabel, 1, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    pBar->Add(m_pMute, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    pBar->Add(m_pVolume, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    auto* pMain = new wxBoxSizer(wxVERTICAL);
    pMain->Add(m_pVideo, 1, wxEXPAND);
    pMain->Add(pBar, 0, wxEXPAND);
    SetSizer(pMain);
}

void CWMPPlayer4::OnEngineWakeUpCallback(void* pContext)
{
    // Runs on one of the engine's threads: only queue an event for the GUI thread.
    auto* pPlayer = static_cast<CWMPPlayer4*>(pContext);
    if (!pPlayer->m_bWakeUpQueued.exchange(true))
        wxQueueEvent(pPlayer, new wxThreadEvent(wxEVT_THREAD, ID_ENGINE_WAKE_UP));
}

void CWMPPlayer4::OnEngineWakeUp(wxThreadEvent& /*event*/)
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
    UpdateStatus();
}

void CWMPPlayer4::OnWindowCreate(wxWindowCreateEvent& event)
{
    event.Skip();
    if (event.GetWindow() && event.GetWindow()->GetId() == ID_VIDEO)
        EmbedVideo();
}

void CWMPPlayer4::EmbedVideo()
{
    if (!m_pMpv || m_nVideoWindowId || !m_pVideo)
        return;
    // The engine draws into the video area's own window.
    m_nVideoWindowId = platform::NativeDrawingWindowId(*m_pVideo);
    if (!m_nVideoWindowId)
        return;
    std::int64_t nWid = static_cast<std::int64_t>(m_nVideoWindowId);
    mpv_set_property_async(m_pMpv, 0, "wid", MPV_FORMAT_INT64, &nWid);
    const char* pszAuto = "auto";
    mpv_set_property_async(m_pMpv, 0, "vid", MPV_FORMAT_STRING, &pszAuto);
}

void CWMPPlayer4::SetURL(const wxString& strUrl)
{
    m_strUrl = strUrl;
    ForgetCurrentStream();
    if (!m_pMpv || m_bEngineGone)
    {
        UpdateStatus();
        return;
    }
    const std::string strUtf8 = strUrl.ToStdString(wxConvUTF8);
    if (!IsNetworkStreamAddress(strUtf8))
    {
        // What played before is stopped: the person asked for something else.
        const char* stopArgs[] = {"stop", nullptr};
        mpv_command_async(m_pMpv, 0, stopArgs);
        m_status.Refuse(strUrl);
        UpdateStatus();
        return;
    }
    SetEngineFlag("pause", false);
    const char* loadArgs[] = {"loadfile", strUtf8.c_str(), "replace", nullptr};
    mpv_command_async(m_pMpv, kLoadReplyMark | ++m_nLoadRequest, loadArgs);
    m_status.Open(strUrl);
    UpdateStatus();
}

void CWMPPlayer4::Stop()
{
    ForgetCurrentStream();
    if (m_pMpv && !m_bEngineGone)
    {
        const char* stopArgs[] = {"stop", nullptr};
        mpv_command_async(m_pMpv, 0, stopArgs);
        m_status.Stop();
    }
    UpdateStatus();
}

void CWMPPlayer4::Play()
{
    if (m_status.GetState() == CPlayerStatus::EState::Paused)
        SetEngineFlag("pause", false);
    else if (!m_status.IsActive() && !m_strUrl.empty())
        SetURL(m_strUrl);
}

void CWMPPlayer4::Pause()
{
    if (m_status.IsActive())
        SetEngineFlag("pause", true);
}

void CWMPPlayer4::SetVolume(int nVolume)
{
    m_bVolumeTouched = true;
    const int nOldVolume = m_nVolume;
    m_nVolume = nVolume < 0 ? 0 : (nVolume > 100 ? 100 : nVolume);
    if (m_pVolume && m_pVolume->GetValue() != m_nVolume)
        m_pVolume->SetValue(m_nVolume);
    if (m_pMpv && !m_bEngineGone)
    {
        double dVolume = m_nVolume;
        mpv_set_property_async(m_pMpv, 0, "volume", MPV_FORMAT_DOUBLE, &dVolume);
    }
    if (m_nVolume != nOldVolume)
        NotifyVolumeChange();
}

void CWMPPlayer4::NotifyVolumeChange()
{
    wxCommandEvent change(wcEVT_PLAYER_VOLUME_CHANGE, GetId());
    change.SetEventObject(this);
    change.SetInt(m_nVolume);
    ProcessWindowEvent(change);
}

void CWMPPlayer4::SetMute(bool bMute)
{
    m_bMuted = bMute;
    if (m_pMute && m_pMute->GetValue() != bMute)
        m_pMute->SetValue(bMute);
    SetEngineFlag("mute", bMute);
}

void CWMPPlayer4::SetEngineFlag(const char* pszName, bool bValue)
{
    if (!m_pMpv || m_bEngineGone)
        return;
    int nFlag = bValue ? 1 : 0;
    mpv_set_property_async(m_pMpv, 0, pszName, MPV_FORMAT_FLAG, &nFlag);
}

void CWMPPlayer4::ForgetCurrentStream()
{
    // Whatever the engine still reports about earlier addresses is ignored
    // from now on.
    m_nFirstEntryId = kNoEntry;
    m_nCurrentEntryId = -1;
    m_strLastEngineMessage.clear();
    m_bEndPending = false;
    m_dAudioBitrate = m_dVideoBitrate = 0;
}

void CWMPPlayer4::HandleEngineEvent(const mpv_event& event)
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
            m_status.Started();
        break;
    case MPV_EVENT_END_FILE:
        HandleEndFile(event);
        break;
    case MPV_EVENT_LOG_MESSAGE:
        HandleLogMessage(event);
        break;
    case MPV_EVENT_PROPERTY_CHANGE:
        HandlePropertyChange(*static_cast<mpv_event_property*>(event.data), event.reply_userdata);
        break;
    case MPV_EVENT_SHUTDOWN:
        m_bEngineGone = true;
        m_status.FailWithReason("the player engine has stopped");
        break;
    default:
        break;
    }
}

void CWMPPlayer4::HandleReply(const mpv_event& event)
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

void CWMPPlayer4::HandleStartFile(const mpv_event& event)
{
    const auto* pStart = static_cast<const mpv_event_start_file*>(event.data);
    ApplyPendingEnd();
    if (pStart->playlist_entry_id < m_nFirstEntryId)
        return;
    m_nCurrentEntryId = pStart->playlist_entry_id;
    m_strLastEngineMessage.clear();
    m_status.Open(m_strUrl);
}

void CWMPPlayer4::HandleEndFile(const mpv_event& event)
{
    const auto* pEnd = static_cast<const mpv_event_end_file*>(event.data);
    if (pEnd->playlist_entry_id != m_nCurrentEntryId || m_nCurrentEntryId < 0)
        return;
    m_nCurrentEntryId = -1;
    // A playlist behind the address (redirect) goes on with its first entry;
    // a stop was asked for by this control and is shown already.
    if (pEnd->reason != MPV_END_FILE_REASON_EOF && pEnd->reason != MPV_END_FILE_REASON_ERROR)
        return;
    m_bEndPending = true;
    m_nEndReason = pEnd->reason;
    m_nEndError = pEnd->error;
}

void CWMPPlayer4::ApplyPendingEnd()
{
    if (!m_bEndPending)
        return;
    m_bEndPending = false;
    if (m_nEndReason == MPV_END_FILE_REASON_EOF)
        m_status.End(m_strLastEngineMessage);
    else
        m_status.Fail(mpv_error_string(m_nEndError), m_strLastEngineMessage);
}

void CWMPPlayer4::HandleLogMessage(const mpv_event& event)
{
    const auto* pMessage = static_cast<const mpv_event_log_message*>(event.data);
    // The network layer says why a stream failed ("Connection refused",
    // "HTTP error 404 Not Found"); the other modules only repeat it.
    if (std::strcmp(pMessage->prefix, "ffmpeg") != 0)
        return;
    const wxString strText = wxString::FromUTF8(pMessage->text).Trim(true);
    if (!strText.empty())
        m_strLastEngineMessage = strText;
}

void CWMPPlayer4::HandlePropertyChange(const mpv_event_property& property, std::uint64_t nId)
{
    switch (nId)
    {
    case kPause:
        m_status.SetPaused(PropertyFlag(property));
        break;
    case kPausedForCache:
        m_status.SetWaitingForData(PropertyFlag(property));
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
        {
            const int nOldVolume = m_nVolume;
            m_nVolume = static_cast<int>(PropertyNumber(property) + 0.5);
            m_pVolume->SetValue(m_nVolume);
            if (m_nVolume != nOldVolume)
                NotifyVolumeChange();
        }
        break;
    case kMute:
        m_bMuted = PropertyFlag(property);
        m_pMute->SetValue(m_bMuted);
        break;
    case kVideoConfigured:
        m_bShowingVideo = PropertyFlag(property);
        break;
    default:
        break;
    }
}

void CWMPPlayer4::UpdateStatus()
{
    const CPlayerStatus::EState eState = m_status.GetState();
    const bool bRunning = eState == CPlayerStatus::EState::Playing ||
                          eState == CPlayerStatus::EState::Buffering ||
                          eState == CPlayerStatus::EState::Connecting;
    m_pPlayPause->SetLabel(bRunning ? "Pause" : "Play");
    const wxString strText = m_status.GetText();
    if (strText != m_strStatusText)
    {
        m_strStatusText = strText;
        m_pStatusLabel->SetLabelText(strText);
        m_pStatusLabel->SetToolTip(strText);
        wxCommandEvent change(wcEVT_PLAYER_STATUS_CHANGE, GetId());
        change.SetEventObject(this);
        change.SetString(strText);
        ProcessWindowEvent(change);
    }
    if (eState != m_eLastState)
    {
        m_eLastState = eState;
        wxCommandEvent change(wcEVT_PLAYER_PLAY_STATE_CHANGE, GetId());
        change.SetEventObject(this);
        change.SetInt(static_cast<int>(eState));
        ProcessWindowEvent(change);
    }
}

void CWMPPlayer4::OnPlayPause(wxCommandEvent& /*event*/)
{
    const CPlayerStatus::EState eState = m_status.GetState();
    if (m_status.IsActive() && eState != CPlayerStatus::EState::Paused)
        Pause();
    else
        Play();
}

void CWMPPlayer4::OnStopButton(wxCommandEvent& /*event*/)
{
    Stop();
}

void CWMPPlayer4::OnMuteButton(wxCommandEvent& event)
{
    SetMute(event.IsChecked());
}

void CWMPPlayer4::OnVolumeSlider(wxCommandEvent& event)
{
    SetVolume(event.GetInt());
}

// The event table comes last so that formatting can stay off for it.
// clang-format off
wxBEGIN_EVENT_TABLE(CWMPPlayer4, wxPanel)
    EVT_THREAD(ID_ENGINE_WAKE_UP, CWMPPlayer4::OnEngineWakeUp)
    EVT_WINDOW_CREATE(CWMPPlayer4::OnWindowCreate)
    EVT_BUTTON(ID_PLAY_PAUSE, CWMPPlayer4::OnPlayPause)
    EVT_BUTTON(ID_STOP, CWMPPlayer4::OnStopButton)
    EVT_TOGGLEBUTTON(ID_MUTE, CWMPPlayer4::OnMuteButton)
    EVT_SLIDER(ID_VOLUME, CWMPPlayer4::OnVolumeSlider)
wxEND_EVENT_TABLE()
