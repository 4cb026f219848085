#pragma once
// Asks the directory without holding up the caller: every request runs on
// one of the client's two worker threads (one for searches, so that a search
// never waits behind a long list), server after server until one answers; its
// result is handed back through the `post` function the caller gives (the
// page gives one that runs it on the GUI thread). A new search supersedes one
// still under way, whose result is then never delivered; destroying the
// client cancels everything, and nothing is delivered after that.

#include "directory/DirectoryAnswers.h"
#include "directory/DirectoryRequest.h"
#include "directory/DirectorySession.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CDirectoryClient
{
public:
    using Task = std::function<void()>;
    using Post = std::function<void(Task)>;

    CDirectoryClient(std::shared_ptr<CDirectorySession> session, Post post);
    ~CDirectoryClient();
    CDirectoryClient(const CDirectoryClient&) = delete;
    CDirectoryClient& operator=(const CDirectoryClient&) = delete;

    void Search(const StationSearch& search, std::function<void(const StationsAnswer&)> done);
    // The list of the kind, at most nMost entries: those of the most
    // stations, ordered by name (read and chosen on the worker thread).
    void Facets(EDirectoryFacet kind, std::size_t nMost,
                std::function<void(const FacetsAnswer&)> done);
    // Counts a play of the station with the directory (never from the cache).
    // An id that is not shaped like the directory's is not sent.
    void CountPlay(const std::string& stationUuid, std::function<void(const ClickAnswer&)> done);

    // Ends what runs and drops what waits; nothing of it is delivered.
    void CancelAll();

    // Text of a request no server answered.
    static std::string UnreachableText(const std::string& detail);
    // Text of an answer over the limit: "...too large (over 4 MiB)."
    static std::string TooLargeText(std::size_t nMaxBytes);

private:
    struct Job
    {
        std::string path;
        bool bKeep = false; // kept for the session once read well
        bool bSearch = false;
        std::size_t nMaxBodyBytes = 0;
        std::shared_ptr<std::atomic<bool>> pCancelled;
        // Reads a body; returns the error text (empty when it was read well)
        // and hands what it read to the task it stores for delivery.
        std::function<std::string(const std::string& body)> read;
        std::function<void(const std::string& error)> fail;
        Task deliver;
    };

    // Searches, and everything else.
    enum Lane
    {
        kSearches,
        kOthers,
        kLaneCount
    };

    void Enqueue(Job job);
    void Run(int lane);
    void Process(Job& job);
    void Deliver(const Job& job, Task task);

    std::shared_ptr<CDirectorySession> m_pSession;
    Post m_post;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs[kLaneCount];
    std::shared_ptr<std::atomic<bool>> m_pRunningCancelled[kLaneCount];
    bool m_bStop = false;
    std::thread m_workers[kLaneCount];
};
