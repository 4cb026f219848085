#include "session/PlaybackSession.h"

#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "core/StreamAddress.h"

#include <utility>

namespace
{
CPlaybackSession* g_pProgramSession = nullptr;

bool SameState(const MediaState& a, const MediaState& b)
{
    return a.bRadioPageOpen == b.bRadioPageOpen && a.eStatus == b.eStatus &&
           a.metadata == b.metadata && a.dVolume == b.dVolume;
}
} // namespace

CPlaybackSession::CPlaybackSession(EngineFactory makeEngine) : m_makeEngine(std::move(makeEngine))
{
}

CPlaybackSession::~CPlaybackSession()
{
    if (g_pProgramSession == this)
        g_pProgramSession = nullptr;
    if (m_pEngine)
        m_pEngine->SetChangeHandler(nullptr);
}

CPlaybackSession* CPlaybackSession::Program()
{
    return g_pProgramSession;
}

void CPlaybackSession::SetProgram(CPlaybackSession* pSession)
{
    g_pProgramSession = pSession;
}

bool CPlaybackSession::PlayRememberedAtStart()
{
    if (!IsAutoPlayOn())
        return false;
    const std::string address = GetSettingText(setting::LastChannelAddress);
    if (!IsNetworkStreamAddress(address))
        return false;
    // Its name and row are known once the list shows it.
    m_chosen = MediaChannel{-1, wxString(), wxString::FromUTF8(address)};
    Open(m_chosen.strAddress);
    Publish();
    return true;
}

IPlaybackEngine& CPlaybackSession::Engine()
{
    if (!m_pEngine)
    {
        m_pEngine = m_makeEngine();
        m_pEngine->SetChangeHandler([this] { OnEngineChanged(); });
    }
    return *m_pEngine;
}

IPlaybackEngine& CPlaybackSession::Bind(IPlaybackPage& page)
{
    m_pPage = &page;
    return Engine();
}

bool CPlaybackSession::TakeWaitingRequests()
{
    const bool asked = m_bHandedStation || !m_waitingChannels.empty();
    for (const auto& channels : std::exchange(m_waitingChannels, {}))
        if (m_pPage)
            m_pPage->AddChannelsAndPlayFirst(channels);
    m_bPublished = false; // the media controls can act from now on
    Publish();
    return asked;
}

void CPlaybackSession::Unbind(IPlaybackPage& page)
{
    if (m_pPage != &page)
        return;
    m_pPage = nullptr;
    if (m_pEngine)
    {
        m_dLastVolume = CMediaSession::VolumeFromPlayer(m_pEngine->GetVolume());
        m_pEngine->SetChangeHandler(nullptr);
        m_pEngine.reset(); // ends playback and the engine's threads
    }
    m_chosen = MediaChannel();
    m_bHandedStation = false;
    // Nothing plays, and nothing can be asked for.
    m_published = CMediaSession::WithoutRadioPage(m_dLastVolume);
    m_bPublished = true;
    m_media.Publish(m_published);
}

void CPlaybackSession::Open(const wxString& strAddress)
{
    IPlaybackEngine& engine = Engine();
    if (m_pPage)
        m_pPage->OnOpening();
    engine.Open(strAddress, strAddress == m_chosen.strAddress ? m_chosen.strName : wxString());
}

void CPlaybackSession::Request(const PlayRequest& request)
{
    if (!request.channels.empty())
    {
        if (m_pPage)
            m_pPage->AddChannelsAndPlayFirst(request.channels);
        else
        {
            m_waitingChannels.push_back(request.channels);
            ShowRadioPage();
        }
        return;
    }
    if (request.stationAddress.empty())
        return;
    // Not a row: a row left selected would play in its place on the next Play.
    if (m_pPage)
        m_pPage->ClearRowSelection();
    m_bHandedStation = true;
    m_chosen = MediaChannel{-1, request.stationName, request.stationAddress};
    Open(m_chosen.strAddress);
    // Playing the same address again changes no status text: the station is
    // announced all the same.
    m_bPublished = false;
    Publish();
    ShowRadioPage();
}

void CPlaybackSession::PlayRow(const MediaChannel& channel, int listIndex, bool bKeepPlaying)
{
    m_bHandedStation = false;
    m_chosen = channel;
    // The index names the channel in the list without a find text; the
    // address finds it again where the index has moved.
    WriteSettingInt(setting::LastChannelIndex.name, listIndex);
    WriteSettingText(setting::LastChannelAddress, channel.strAddress.utf8_string());
    if (!bKeepPlaying || !PlaysNow(channel.strAddress))
        Open(channel.strAddress);
    else if (m_pEngine)
        m_pEngine->NameChannel(channel.strName);
    m_bPublished = false;
    Publish();
}

void CPlaybackSession::PlayStationAgain()
{
    if (!m_bHandedStation)
        return;
    Open(m_chosen.strAddress);
    m_bPublished = false;
    Publish();
}

void CPlaybackSession::Play()
{
    if (m_pPage)
        m_pPage->PlayChosenRow();
}

void CPlaybackSession::Stop()
{
    if (m_pEngine)
        m_pEngine->Stop();
}

void CPlaybackSession::Pause()
{
    // The player's own pause: it stays paused, not stopped.
    if (m_pEngine)
        m_pEngine->Pause();
}

void CPlaybackSession::PlayPause()
{
    if (!m_pPage || !m_pEngine)
        return;
    switch (CMediaSession::PlayPauseActionFor(m_pEngine->GetState(), !m_pEngine->GetUrl().empty()))
    {
    case CMediaSession::EPlayPauseAction::Pause:
        m_pEngine->Pause();
        break;
    case CMediaSession::EPlayPauseAction::Resume:
        m_pEngine->Play();
        break;
    case CMediaSession::EPlayPauseAction::PlayChosenChannel:
        m_pPage->PlayChosenRow();
        break;
    }
}

void CPlaybackSession::SetVolume(double dVolume)
{
    if (m_pEngine)
        m_pEngine->SetVolume(CMediaSession::VolumeForPlayer(dVolume));
}

void CPlaybackSession::PlayNext()
{
    if (m_pPage)
        m_pPage->PlayNextRow();
}

void CPlaybackSession::PlayPrevious()
{
    if (m_pPage)
        m_pPage->PlayPreviousRow();
}

bool CPlaybackSession::IsAutoPlayOn()
{
    return GetSetting(setting::AutoPlay) == 1;
}

int CPlaybackSession::ChooseAutoPlayIndex(const IChannelRows& rows, bool bStationListLoaded)
{
    const std::string address = GetSettingText(setting::LastChannelAddress);
    if (!bStationListLoaded)
        return address.empty() ? -1 : rows.FindAddress(address, 0);
    // The index counts the station list's rows first: one of My channels
    // moves with them (after a start whose download failed, say), and is
    // then found by its address.
    const int index = GetSetting(setting::LastChannelIndex);
    if (address.empty() || rows.AddressAt(index) == address)
        return index;
    const int found = rows.FindAddress(address, index);
    return found >= 0 ? found : index;
}

bool CPlaybackSession::PlaysNow(const wxString& strAddress) const
{
    if (!m_pEngine || strAddress.empty())
        return false;
    using EState = CPlayerStatus::EState;
    const EState state = m_pEngine->GetState();
    const bool running =
        state == EState::Playing || state == EState::Buffering || state == EState::Connecting;
    return running && m_pEngine->GetUrl() == strAddress;
}

void CPlaybackSession::OnEngineChanged()
{
    if (m_pPage)
        m_pPage->OnPlaybackChanged();
    Publish();
}

void CPlaybackSession::Publish()
{
    if (!m_pEngine)
        return;
    const MediaState state = CMediaSession::StateOf(
        m_pEngine->GetState(), m_chosen, m_pEngine->GetStreamTitle(), m_pEngine->GetVolume());
    // The engine reports in many small batches: only a change is told.
    if (m_bPublished && SameState(state, m_published))
        return;
    m_published = state;
    m_bPublished = true;
    m_media.Publish(state);
}

void CPlaybackSession::Republish()
{
    m_bPublished = false;
    Publish();
}

void CPlaybackSession::ShowRadioPage()
{
    if (!m_pPage && m_openRadioPage)
        m_openRadioPage();
}
