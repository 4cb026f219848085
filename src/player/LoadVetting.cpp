#include "player/LoadVetting.h"

#include "core/AddressReach.h"
#include "platform/HostAddresses.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <thread>

const char* const CLoadVetting::kRemoteHostsVariable = "WAVECREST_TEST_REMOTE_HOSTS";

namespace
{

// The person's address, then playlists inside playlists: a chain longer
// than this leads nowhere a station needs.
constexpr int kMaxLoads = 4;

HostReach ReachOf(const std::string& strAddress, const std::vector<std::string>& markedRemote)
{
    HostReach reach;
    reach.strHost = HostOfAddress(strAddress);
    reach.bMarkedRemote =
        std::find(markedRemote.begin(), markedRemote.end(), reach.strHost) != markedRemote.end();
    if (!reach.bMarkedRemote)
        reach.addresses = platform::ResolveHostAddresses(reach.strHost);
    return reach;
}

} // namespace

// What the worker threads share with the vetting: its owner, until the
// vetting ends.
struct CLoadVetting::CShared
{
    std::mutex mutex;
    wxEvtHandler* pOwner = nullptr;
    CLoadVetting* pVetting = nullptr;
};

CLoadVetting::CLoadVetting(wxEvtHandler& owner)
    : m_pShared(std::make_shared<CShared>()), m_nGeneration(0), m_nLoads(0)
{
    m_pShared->pOwner = &owner;
    m_pShared->pVetting = this;
    const char* pszMarked = std::getenv(kRemoteHostsVariable);
    m_markedRemote = HostList(pszMarked ? pszMarked : "");
}

CLoadVetting::~CLoadVetting()
{
    std::lock_guard<std::mutex> lock(m_pShared->mutex);
    m_pShared->pOwner = nullptr;
    m_pShared->pVetting = nullptr;
}

void CLoadVetting::Restart()
{
    ++m_nGeneration;
    m_nLoads = 0;
    m_strPrevious.clear();
}

CLoadVetting::EVerdict CLoadVetting::OnLoad(const std::string& strAddress, std::uint64_t nLoad)
{
    m_strRefusal.clear();
    const std::string strSource = m_strPrevious;
    m_strPrevious = strAddress;
    if (++m_nLoads == 1)
        return EVerdict::Allow;
    if (m_nLoads > kMaxLoads)
    {
        m_strRefusal = "the station's playlists lead on too often";
        return EVerdict::Refuse;
    }
    LookUpBeside(strSource, strAddress, nLoad);
    return EVerdict::Wait;
}

void CLoadVetting::LookUpBeside(const std::string& strSource, const std::string& strEntry,
                                std::uint64_t nLoad)
{
    std::thread(
        [pShared = m_pShared, marked = m_markedRemote, strSource, strEntry, nLoad,
         nGeneration = m_nGeneration]
        {
            const std::string strRefusal =
                RefusalOfEntry(ReachOf(strSource, marked), ReachOf(strEntry, marked));
            std::lock_guard<std::mutex> lock(pShared->mutex);
            if (pShared->pOwner)
                pShared->pOwner->CallAfter(
                    [pVetting = pShared->pVetting, nGeneration, nLoad, strRefusal]
                    { pVetting->Deliver(nGeneration, nLoad, strRefusal); });
        })
        .detach();
}

void CLoadVetting::Deliver(unsigned nGeneration, std::uint64_t nLoad, const std::string& strRefusal)
{
    if (nGeneration == m_nGeneration && m_onVerdict)
        m_onVerdict(nLoad, strRefusal);
}
