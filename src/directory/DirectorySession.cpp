#include "directory/DirectorySession.h"

#include "platform/ServiceHosts.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <thread>

namespace
{
constexpr const char* kServiceRecord = "_api._tcp.radio-browser.info";
constexpr const char* kAllServersHost = "all.api.radio-browser.info";
constexpr const char* kDirectoryDomain = "radio-browser.info";

std::mutex g_programMutex;
std::shared_ptr<CDirectorySession> g_program;
} // namespace

CDirectorySession::CDirectorySession(Discovery discovery) : m_discovery(std::move(discovery)) {}

std::shared_ptr<CDirectorySession> CDirectorySession::Program()
{
    std::lock_guard<std::mutex> lock(g_programMutex);
    if (!g_program)
        g_program = std::make_shared<CDirectorySession>(DiscoveryFromEnvironment());
    return g_program;
}

void CDirectorySession::ReplaceProgram(std::shared_ptr<CDirectorySession> session)
{
    std::lock_guard<std::mutex> lock(g_programMutex);
    g_program = std::move(session);
}

CDirectorySession::Discovery CDirectorySession::DiscoveryFromEnvironment()
{
    const char* chosen = std::getenv("WAVECREST_DIRECTORY_URL");
    if (chosen && *chosen)
    {
        std::string address = chosen;
        while (!address.empty() && address.back() == '/')
            address.pop_back();
        return [address] { return std::vector<std::string>{address}; };
    }
    // The one name server to ask ("127.0.0.1:5353"), for tests of the lookup.
    const char* nameServer = std::getenv("WAVECREST_DIRECTORY_NAMESERVER");
    platform::ServiceLookup lookup{kServiceRecord, kAllServersHost, kDirectoryDomain,
                                   nameServer ? nameServer : ""};
    return [lookup]
    {
        std::random_device seed;
        std::mt19937 random(seed());
        return AddressesInRandomOrder(platform::LookUpServiceHosts(lookup), random);
    };
}

std::vector<std::string> CDirectorySession::AddressesInRandomOrder(std::vector<std::string> hosts,
                                                                   std::mt19937& random)
{
    // The load is spread over the mirrors, as the directory asks its clients.
    std::shuffle(hosts.begin(), hosts.end(), random);
    std::vector<std::string> addresses;
    for (std::string& host : hosts)
    {
        while (!host.empty() && host.back() == '.')
            host.pop_back(); // the root of a fully qualified name
        if (!host.empty())
            addresses.push_back("https://" + host);
    }
    return addresses;
}

struct CDirectorySession::Lookup
{
    std::mutex mutex;
    std::condition_variable ended;
    bool bEnded = false;
    std::vector<std::string> found;
};

std::shared_ptr<CDirectorySession::Lookup> CDirectorySession::StartLookup() const
{
    auto lookup = std::make_shared<Lookup>();
    // The thread holds only what it was given, never the session: it may
    // outlive both the session and the caller that started it.
    std::thread(
        [lookup, discovery = m_discovery]
        {
            std::vector<std::string> found = discovery ? discovery() : std::vector<std::string>();
            std::lock_guard<std::mutex> lock(lookup->mutex);
            lookup->found = std::move(found);
            lookup->bEnded = true;
            lookup->ended.notify_all();
        })
        .detach();
    return lookup;
}

bool CDirectorySession::WaitForLookup(Lookup& lookup, const std::atomic<bool>* cancelled)
{
    using namespace std::chrono_literals;
    std::unique_lock<std::mutex> lock(lookup.mutex);
    // Cancelling is a flag of the caller's: it is looked at every 20 ms.
    while (!lookup.ended.wait_for(lock, 20ms, [&lookup] { return lookup.bEnded; }))
        if (cancelled && cancelled->load())
            return false;
    return true;
}

std::vector<std::string> CDirectorySession::Servers(const std::atomic<bool>* cancelled)
{
    std::shared_ptr<Lookup> lookup;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_servers.empty())
            return m_servers;
        if (!m_pLookup)
            m_pLookup = StartLookup();
        lookup = m_pLookup;
    }
    if (!WaitForLookup(*lookup, cancelled))
        return std::vector<std::string>();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pLookup == lookup)
    {
        // Whoever comes first takes the result; none found, the next call looks again.
        m_pLookup.reset();
        if (m_servers.empty())
            m_servers = lookup->found;
    }
    return m_servers.empty() ? lookup->found : m_servers;
}

void CDirectorySession::MarkFailed(const std::string& server)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = std::find(m_servers.begin(), m_servers.end(), server);
    if (found != m_servers.end())
        std::rotate(found, found + 1, m_servers.end());
}

bool CDirectorySession::FindAnswer(const std::string& path, std::string& body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_answers.Find(path, body);
}

void CDirectorySession::KeepAnswer(const std::string& path, const std::string& body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.Keep(path, body);
}

std::size_t CDirectorySession::KeptAnswerBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_answers.Bytes();
}

DirectoryLimits CDirectorySession::GetLimits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_limits;
}

void CDirectorySession::SetLimits(const DirectoryLimits& limits)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_limits = limits;
}

void CDirectorySession::KeepPageState(DirectoryPageState state)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pPageState = std::make_unique<DirectoryPageState>(std::move(state));
}

bool CDirectorySession::FindPageState(DirectoryPageState& state) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_pPageState)
        return false;
    state = *m_pPageState;
    return true;
}
