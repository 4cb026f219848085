#include "directory/DirectoryClient.h"

#include "directory/DirectoryFetch.h"

CDirectoryClient::CDirectoryClient(std::shared_ptr<CDirectorySession> session, Post post)
    : m_pSession(std::move(session)), m_post(std::move(post))
{
    for (int lane = 0; lane < kLaneCount; ++lane)
        m_workers[lane] = std::thread([this, lane] { Run(lane); });
}

CDirectoryClient::~CDirectoryClient()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    CancelAll();
    m_wake.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

std::string CDirectoryClient::UnreachableText(const std::string& detail)
{
    return "The station directory cannot be reached (" + detail + ").";
}

std::string CDirectoryClient::TooLargeText(std::size_t nMaxBytes)
{
    return "The directory's answer is too large (over " +
           std::to_string(nMaxBytes / (1024u * 1024u)) + " MiB).";
}

void CDirectoryClient::Search(const StationSearch& search,
                              std::function<void(const StationsAnswer&)> done)
{
    Job job;
    job.path = StationSearchPath(search);
    job.bKeep = true;
    job.bSearch = true;
    job.nMaxBodyBytes = m_pSession->GetLimits().nMaxSearchBytes;
    auto answer = std::make_shared<StationsAnswer>();
    job.read = [answer](const std::string& body)
    {
        *answer = ReadStationsAnswer(body);
        return answer->error;
    };
    job.fail = [answer](const std::string& error) { answer->error = error; };
    job.deliver = [answer, done] { done(*answer); };
    Enqueue(std::move(job));
}

void CDirectoryClient::Facets(EDirectoryFacet kind, std::size_t nMost,
                              std::function<void(const FacetsAnswer&)> done)
{
    Job job;
    job.path = FacetsPath(kind);
    job.bKeep = true;
    job.nMaxBodyBytes = m_pSession->GetLimits().nMaxListBytes;
    auto answer = std::make_shared<FacetsAnswer>();
    job.read = [answer, kind, nMost](const std::string& body)
    {
        *answer = ReadFacetsAnswer(body, kind);
        KeepMostUsedFacets(answer->facets, nMost);
        return answer->error;
    };
    job.fail = [answer](const std::string& error) { answer->error = error; };
    job.deliver = [answer, done] { done(*answer); };
    Enqueue(std::move(job));
}

void CDirectoryClient::CountPlay(const std::string& stationUuid,
                                 std::function<void(const ClickAnswer&)> done)
{
    auto answer = std::make_shared<ClickAnswer>();
    if (!IsStationUuid(stationUuid))
    {
        answer->error = "The station's id is not one of the directory's; the play is not counted.";
        m_post([answer, done] { done(*answer); });
        return;
    }
    Job job;
    job.path = ClickPath(stationUuid);
    job.nMaxBodyBytes = m_pSession->GetLimits().nMaxClickBytes;
    job.read = [answer](const std::string& body)
    {
        *answer = ReadClickAnswer(body);
        // A server that answers, even "not counted", is not asked again.
        return std::string();
    };
    job.fail = [answer](const std::string& error) { answer->error = error; };
    job.deliver = [answer, done] { done(*answer); };
    Enqueue(std::move(job));
}

void CDirectoryClient::Enqueue(Job job)
{
    job.pCancelled = std::make_shared<std::atomic<bool>>(false);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const int lane = job.bSearch ? kSearches : kOthers;
        if (job.bSearch)
        {
            // Only the newest search counts.
            for (Job& waiting : m_jobs[lane])
                waiting.pCancelled->store(true);
            m_jobs[lane].clear();
            if (m_pRunningCancelled[lane])
                m_pRunningCancelled[lane]->store(true);
        }
        m_jobs[lane].push_back(std::move(job));
    }
    m_wake.notify_all();
}

void CDirectoryClient::CancelAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int lane = 0; lane < kLaneCount; ++lane)
    {
        for (Job& waiting : m_jobs[lane])
            waiting.pCancelled->store(true);
        m_jobs[lane].clear();
        if (m_pRunningCancelled[lane])
            m_pRunningCancelled[lane]->store(true);
    }
}

void CDirectoryClient::Run(int lane)
{
    for (;;)
    {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this, lane] { return m_bStop || !m_jobs[lane].empty(); });
            if (m_bStop)
                return;
            job = std::move(m_jobs[lane].front());
            m_jobs[lane].pop_front();
            m_pRunningCancelled[lane] = job.pCancelled;
        }
        if (!job.pCancelled->load())
            Process(job);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pRunningCancelled[lane].reset();
    }
}

void CDirectoryClient::Process(Job& job)
{
    std::string body;
    if (job.bKeep && m_pSession->FindAnswer(job.path, body) && job.read(body).empty())
    {
        Deliver(job, job.deliver);
        return;
    }
    const std::vector<std::string> servers = m_pSession->Servers(job.pCancelled.get());
    if (job.pCancelled->load())
        return;
    if (servers.empty())
    {
        job.fail(UnreachableText("no server of the directory was found; is there a network?"));
        Deliver(job, job.deliver);
        return;
    }
    const DirectoryLimits limits = m_pSession->GetLimits();
    std::string lastError;
    for (const std::string& server : servers)
    {
        if (job.pCancelled->load())
            return;
        FetchResult fetched =
            FetchFromDirectory(server + job.path, limits, job.nMaxBodyBytes, *job.pCancelled);
        if (job.pCancelled->load())
            return;
        if (fetched.ok)
        {
            const std::string error = job.read(fetched.body);
            if (error.empty())
            {
                if (job.bKeep)
                    m_pSession->KeepAnswer(job.path, fetched.body);
                Deliver(job, job.deliver);
                return;
            }
            lastError = error;
        }
        else
        {
            lastError = fetched.bTooLarge ? TooLargeText(job.nMaxBodyBytes)
                                          : UnreachableText(fetched.error);
        }
        // The next server is asked, and this one comes last from now on.
        m_pSession->MarkFailed(server);
    }
    job.fail(lastError);
    Deliver(job, job.deliver);
}

void CDirectoryClient::Deliver(const Job& job, Task task)
{
    if (job.pCancelled->load())
        return;
    // Cancelled between now and when the caller runs it: still not delivered.
    m_post(
        [cancelled = job.pCancelled, task = std::move(task)]
        {
            if (!cancelled->load())
                task();
        });
}
