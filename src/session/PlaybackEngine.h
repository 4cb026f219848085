#pragma once
// What the playback session needs of a player engine: the commands, what it
// plays and how far it is. The program's engine is libmpv's (MakeMpvEngine);
// tests give the session one of their own.

#include "player/PlayerStatus.h"

#include <wx/string.h>

#include <functional>
#include <memory>

class CPlayerEngine;

class IPlaybackEngine
{
public:
    virtual ~IPlaybackEngine() = default;
    // Runs on the GUI thread whenever what the engine reports has changed.
    virtual void SetChangeHandler(std::function<void()> handler) = 0;
    // strChannelName: the channel's name in the person's list ("" when it
    // has none), which the status shows for a stream without a title.
    virtual void Open(const wxString& strUrl, const wxString& strChannelName) = 0;
    virtual wxString GetUrl() const = 0;
    // The stream that plays turned out to be this channel of the list (it
    // was opened before the list was there): the status names it.
    virtual void NameChannel(const wxString& strChannelName) = 0;
    virtual void Stop() = 0;
    // Goes on after a pause, or opens the last address again.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual int GetVolume() const = 0;
    virtual void SetVolume(int nVolume) = 0;
    virtual CPlayerStatus::EState GetState() const = 0;
    virtual wxString GetStreamTitle() const = 0;
    // The libmpv engine behind it, which the radio page's player control
    // shows (its picture and transport bar); nullptr for an engine without.
    virtual CPlayerEngine* GetPlayerEngine() = 0;
};

using EngineFactory = std::function<std::unique_ptr<IPlaybackEngine>()>;

// libmpv's engine, started (its status says why when it could not be).
std::unique_ptr<IPlaybackEngine> MakeMpvEngine();
