#pragma once
// Which of the addresses the engine is about to open may be opened. The
// engine asks before each load of an Open: the first load is the address
// the person chose, trusted as it is; every later one is an entry of the
// playlist the load before it answered with, and a remote server may not
// lead to this machine or the local network (see AddressReach.h). Host
// names are looked up on a worker thread, so the GUI thread never waits for
// the resolver; the verdict comes back on the owner's thread.
//
// For tests, the environment variable WAVECREST_TEST_REMOTE_HOSTS lists
// host names (comma-separated) that count as remote hosts whatever they
// resolve to, so that a loopback server can play a remote station.

#include <wx/event.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CLoadVetting
{
public:
    static const char* const kRemoteHostsVariable;

    enum class EVerdict
    {
        Allow,
        Refuse, // GetRefusal() says why
        Wait    // the verdict goes to the handler of SetVerdictHandler later
    };

    // Verdicts that had to wait arrive through the owner's event queue.
    explicit CLoadVetting(wxEvtHandler& owner);
    ~CLoadVetting();
    CLoadVetting(const CLoadVetting&) = delete;
    CLoadVetting& operator=(const CLoadVetting&) = delete;

    // Gets the load's number and why it is refused ("" when it may be opened).
    void SetVerdictHandler(std::function<void(std::uint64_t, const std::string&)> handler)
    {
        m_onVerdict = std::move(handler);
    }
    // The person's address is about to be loaded: a verdict still under way
    // is dropped.
    void Restart();
    EVerdict OnLoad(const std::string& strAddress, std::uint64_t nLoad);
    const std::string& GetRefusal() const { return m_strRefusal; }

private:
    struct CShared;
    void LookUpBeside(const std::string& strSource, const std::string& strEntry,
                      std::uint64_t nLoad);
    void Deliver(unsigned nGeneration, std::uint64_t nLoad, const std::string& strRefusal);

    std::shared_ptr<CShared> m_pShared;
    std::vector<std::string> m_markedRemote;
    std::function<void(std::uint64_t, const std::string&)> m_onVerdict;
    unsigned m_nGeneration;
    int m_nLoads;
    std::string m_strPrevious;
    std::string m_strRefusal;
};
