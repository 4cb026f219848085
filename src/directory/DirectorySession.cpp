#include "directory/DirectorySession.h"

#include "platform/ServiceHosts.h"

#include <algorithm>
#include <cstdlib>

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

std::vector<std::string> CDirectorySession::Servers()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_servers.empty())
            return m_servers;
    }
    std::lock_guard<std::mutex> discovering(m_discoveryMutex);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_servers.empty())
            return m_servers; // found by another thread meanwhile
    }
    std::vector<std::string> found = m_discovery ? m_discovery() : std::vector<std::string>();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_servers = std::move(found);
    return m_servers;
}

void CDirectorySession::MarkFailed(const std::string& server)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = std::find(m_servers.begin(), m_servers.end(), server);
    if (found != m_servers.end())
        std::rotate(found, found + 1, m_servers.end());
}

bool CDirectorySession::FindAnswer(const std::string& path, std::string& body) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_answers.find(path);
    if (found == m_answers.end())
        return false;
    body = found->second;
    return true;
}

void CDirectorySession::KeepAnswer(const std::string& path, const std::string& body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers[path] = body;
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
