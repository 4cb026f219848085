#pragma once
// What the program knows of the directory for as long as it runs: its
// servers, found once (through DNS, or the one WAVECREST_DIRECTORY_URL
// names) and tried in random order, a failing one moved behind the others;
// the answers already read, so that asking again costs nothing; and the time
// and size limits of a request. Safe to use from several threads.

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

struct DirectoryLimits
{
    // As for the station list: the connection, silence in between, the whole.
    std::chrono::milliseconds connectTimeout{15000};
    std::chrono::milliseconds stallTimeout{30000};
    std::chrono::milliseconds totalTimeout{120000};
    std::size_t nMaxBodyBytes = 32u * 1024u * 1024u;
};

class CDirectorySession
{
public:
    // Finds the servers' addresses ("https://host"); may block.
    using Discovery = std::function<std::vector<std::string>()>;

    explicit CDirectorySession(Discovery discovery);

    // The session the pages use: created on first use with the discovery of
    // DiscoveryFromEnvironment(), unless one was put in its place.
    static std::shared_ptr<CDirectorySession> Program();
    static void ReplaceProgram(std::shared_ptr<CDirectorySession> session);

    // WAVECREST_DIRECTORY_URL when it is set (that one server only), else the
    // directory's DNS records.
    static Discovery DiscoveryFromEnvironment();
    // The hosts' https addresses in a random order.
    static std::vector<std::string> AddressesInRandomOrder(std::vector<std::string> hosts,
                                                           std::mt19937& random);

    // The servers in the order to try them. Found on first use, and again
    // while none has been found (the network may have come up since).
    std::vector<std::string> Servers();
    // The server failed: the others are tried before it from now on.
    void MarkFailed(const std::string& server);

    // Answers already read this session, by request path.
    bool FindAnswer(const std::string& path, std::string& body) const;
    void KeepAnswer(const std::string& path, const std::string& body);

    DirectoryLimits GetLimits() const;
    void SetLimits(const DirectoryLimits& limits);

private:
    Discovery m_discovery;
    mutable std::mutex m_mutex;
    std::mutex m_discoveryMutex; // one discovery at a time
    std::vector<std::string> m_servers;
    std::map<std::string, std::string> m_answers;
    DirectoryLimits m_limits;
};
