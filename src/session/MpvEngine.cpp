#include "player/PlayerEngine.h"
#include "session/PlaybackEngine.h"

namespace
{
// The program's engine: CPlayerEngine as the session sees it.
class CMpvEngine : public IPlaybackEngine
{
public:
    CMpvEngine() { m_engine.Start(); }
    ~CMpvEngine() override { m_engine.SetChangeHandler(nullptr); }

    void SetChangeHandler(std::function<void()> handler) override
    {
        m_engine.SetChangeHandler(std::move(handler));
    }
    void Open(const wxString& strUrl, const wxString& strChannelName) override
    {
        m_engine.Open(strUrl, strChannelName);
    }
    wxString GetUrl() const override { return m_engine.GetUrl(); }
    void NameChannel(const wxString& strChannelName) override
    {
        m_engine.NameChannel(strChannelName);
    }
    void Stop() override { m_engine.Stop(); }
    void Play() override { m_engine.Play(); }
    void Pause() override { m_engine.Pause(); }
    int GetVolume() const override { return m_engine.GetVolume(); }
    void SetVolume(int nVolume) override { m_engine.SetVolume(nVolume); }
    CPlayerStatus::EState GetState() const override { return m_engine.GetStatus().GetState(); }
    wxString GetStreamTitle() const override { return m_engine.GetStatus().GetStreamTitle(); }
    CPlayerEngine* GetPlayerEngine() override { return &m_engine; }

private:
    CPlayerEngine m_engine;
};
} // namespace

std::unique_ptr<IPlaybackEngine> MakeMpvEngine()
{
    return std::make_unique<CMpvEngine>();
}
