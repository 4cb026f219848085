#pragma once
// What the program knows of the directory for as long as it runs: its
// servers, found once (through DNS, or the one WAVECREST_DIRECTORY_URL
// names) and tried in random order, a failing one moved behind the others;
// the answers already read (up to 16 MiB), so that asking again costs
// nothing; and the time and size limits of a request. Safe to use from
// several threads.
//
// The lookup of the servers runs on a thread of its own, which nobody waits
// for: the resolver may block for many seconds, and a page that closes or a
// program that ends does not wait for it. A caller that gives up leaves the
// lookup running, and the next caller waits for the same one.

#include "directory/AnswerCache.h"
#include "directory/DirectoryAnswers.h"
#include "directory/DirectoryRequest.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
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
    // A search asks for at most a few hundred stations; the lists of
    // countries, languages and tags are longer; a counted play is one object.
    std::size_t nMaxSearchBytes = 4u * 1024u * 1024u;
    std::size_t nMaxListBytes = 8u * 1024u * 1024u;
    std::size_t nMaxClickBytes = 64u * 1024u;
};

// What the directory page showed as it closed, kept so that it shows the
// same when it opens again: a Play closes it for the radio page, and the
// person comes back to the search they left ("listen, then keep it").
struct DirectoryPageState
{
    // An entry of one of the filters: what a search is given (empty: any)
    // and what the entry said.
    struct Filter
    {
        std::string code;
        std::string label;
    };

    std::string searchText; // the search box as it was, untrimmed
    Filter country, language, tag;
    EStationOrder order = EStationOrder::Votes;
    bool bShowBroken = false;
    std::vector<DirectoryStation> results;
    int selectedRow = -1;   // -1: none
    std::string statusLine; // the line at the bottom
    // A search was under way or due when the page closed: the results are
    // not those of the search, which runs again as the page opens.
    bool bSearchDue = false;
};

// All the answers kept for the session together.
constexpr std::size_t kMaxKeptAnswerBytes = 16u * 1024u * 1024u;

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
    // while none has been found (the network may have come up since). Empty
    // at once when `cancelled` becomes true while the lookup runs.
    std::vector<std::string> Servers(const std::atomic<bool>* cancelled = nullptr);
    // The server failed: the others are tried before it from now on.
    void MarkFailed(const std::string& server);

    // Answers already read this session, by request path.
    bool FindAnswer(const std::string& path, std::string& body);
    void KeepAnswer(const std::string& path, const std::string& body);

    DirectoryLimits GetLimits() const;
    void SetLimits(const DirectoryLimits& limits);

    std::size_t KeptAnswerBytes() const;

    // The page's state as it closed; false before it first closed.
    void KeepPageState(DirectoryPageState state);
    bool FindPageState(DirectoryPageState& state) const;

private:
    struct Lookup; // one discovery under way, shared with its thread
    std::shared_ptr<Lookup> StartLookup() const;
    static bool WaitForLookup(Lookup& lookup, const std::atomic<bool>* cancelled);

    Discovery m_discovery;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_servers;
    std::shared_ptr<Lookup> m_pLookup; // the discovery under way, if any
    CAnswerCache m_answers{kMaxKeptAnswerBytes};
    DirectoryLimits m_limits;
    std::unique_ptr<DirectoryPageState> m_pPageState;
};
