#include "DownloadTestServer.h"

#include "download/FileDownloadManager.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using State = CFileDownloadManager::State;

namespace
{
// Waits short enough that a test about a silent server ends quickly.
DownloadLimits QuickLimits()
{
    DownloadLimits limits;
    limits.connectTimeout = 5s;
    limits.stallTimeout = 400ms;
    return limits;
}

// A private temporary folder (TMPDIR), a folder the server serves and a
// destination folder that already holds an old station list.
class FileDownload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFolders = std::make_unique<CDownloadFolders>(m_home.Path(), "list", "data");
        m_pServer = std::make_unique<CDownloadTestServer>(ServedFolder());
        m_manager.SetLimits(QuickLimits());
    }

    void TearDown() override
    {
        m_pServer.reset();
        m_pFolders.reset();
    }

    std::string TempFolder() const { return m_pFolders->Temp(); }
    std::string ServedFolder() const { return m_pFolders->Served(); }
    std::string DestinationFolder() const { return m_pFolders->DestinationFolder(); }
    std::string Destination() const { return m_pFolders->Destination(); }

    // Downloads a path of the test server and stores it at the destination.
    // Should the downloader's own limits fail, the test gives up after a
    // minute (the state is then Cancelled, which no test expects) rather
    // than hang.
    bool Fetch(const std::string& path)
    {
        m_manager.SetSourceUrl(m_pServer->Address(path));
        const auto giveUp = std::chrono::steady_clock::now() + 60s;
        return m_manager.Download([giveUp] { return std::chrono::steady_clock::now() > giveUp; }) &&
               m_manager.ReplaceFile(Destination());
    }

    void ExpectNothingLeftBehind()
    {
        EXPECT_TRUE(FilesIn(TempFolder(), "WCF").empty());
        EXPECT_EQ(FilesIn(DestinationFolder()), std::vector<std::string>{"StationList.zip"});
        EXPECT_TRUE(m_manager.GetLocalFile().empty());
    }

    void ExpectOldListKept()
    {
        EXPECT_EQ(ReadWholeFile(Destination()), kOldList);
        ExpectNothingLeftBehind();
    }

    static constexpr const char* kOldList = CDownloadFolders::kOldList;
    CTempHome m_home;
    std::unique_ptr<CDownloadFolders> m_pFolders;
    std::unique_ptr<CDownloadTestServer> m_pServer;
    CFileDownloadManager m_manager;
};

class FileDownloadErrorStatus : public FileDownload, public ::testing::WithParamInterface<int>
{
};

class FileDownloadRedirect : public FileDownload, public ::testing::WithParamInterface<int>
{
};
} // namespace

TEST_F(FileDownload, StoresTheBodyUnchangedInPlaceOfTheDestination)
{
    EXPECT_TRUE(Fetch("/files/list"));
    EXPECT_EQ(m_manager.GetState(), State::Succeeded);
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
    ExpectNothingLeftBehind();
}

TEST_F(FileDownload, WritesIntoAPrivateWcfFileInTheTemporaryFolder)
{
    m_manager.SetSourceUrl(m_pServer->Address("/stall/1000"));
    ASSERT_TRUE(m_manager.Start());
    for (int step = 0; step < 1000 && m_manager.GetBytesReceived() < 1000; ++step)
        m_manager.Step(10ms);
    ASSERT_EQ(m_manager.GetState(), State::Running);

    const std::string local(m_manager.GetLocalFile().utf8_str());
    EXPECT_EQ(local.rfind(TempFolder() + "/WCF", 0), 0u) << local;
    struct stat info;
    ASSERT_EQ(::stat(local.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 1000);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(FilesIn(TempFolder(), "WCF").size(), 1u);

    m_manager.Cancel();
    EXPECT_FALSE(FileExists(local));
}

TEST_F(FileDownload, ATemporaryFolderThatCannotBeUsedFailsBeforeAnyRequest)
{
    ::setenv("TMPDIR", (m_home.Path() + "/missing").c_str(), 1);
    EXPECT_FALSE(Fetch("/files/list"));
    EXPECT_EQ(m_manager.GetState(), State::Failed);
    EXPECT_EQ(m_pServer->RequestCount(), 0);
    ExpectOldListKept();
}

TEST_P(FileDownloadErrorStatus, AnErrorStatusFailsAndKeepsTheOldList)
{
    EXPECT_FALSE(Fetch("/status/" + std::to_string(GetParam())));
    EXPECT_EQ(m_manager.GetState(), State::Failed);
    EXPECT_NE(m_manager.GetErrorText().Find(std::to_string(GetParam())), wxNOT_FOUND)
        << m_manager.GetErrorText();
    ExpectOldListKept();
}

INSTANTIATE_TEST_SUITE_P(NotFoundServerErrorAndOthers, FileDownloadErrorStatus,
                         ::testing::Values(400, 403, 404, 410, 500, 502, 503));

TEST_F(FileDownload, ANonErrorStatusThatIsNoAnswerFails)
{
    // A redirect without a place to go leaves nothing to store.
    EXPECT_FALSE(Fetch("/status/304"));
    ExpectOldListKept();
}

TEST_F(FileDownload, ARefusedConnectionFails)
{
    const std::string address = m_pServer->Address("/files/list");
    m_pServer->Stop();
    m_manager.SetSourceUrl(address);
    EXPECT_FALSE(m_manager.Download());
    EXPECT_EQ(m_manager.GetState(), State::Failed);
    EXPECT_FALSE(m_manager.ReplaceFile(Destination()));
    ExpectOldListKept();
}

TEST_F(FileDownload, AServerThatStallsMidBodyIsGivenUp)
{
    EXPECT_FALSE(Fetch("/stall/5000"));
    EXPECT_EQ(m_manager.GetState(), State::Failed);
    EXPECT_EQ(m_manager.GetBytesReceived(), 5000);
    EXPECT_NE(m_manager.GetErrorText().Find("no data"), wxNOT_FOUND) << m_manager.GetErrorText();
    ExpectOldListKept();
}

TEST_F(FileDownload, AServerThatNeverAnswersIsGivenUp)
{
    EXPECT_FALSE(Fetch("/silent"));
    EXPECT_EQ(m_manager.GetBytesReceived(), 0);
    ExpectOldListKept();
}

TEST_F(FileDownload, AConnectionThatIsNeverSetUpIsGivenUp)
{
    // A listening socket whose queue is full and that never accepts: the
    // system drops further connection requests, as from a host that is gone.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<int> queued;
    for (int i = 0; i < 4; ++i)
    {
        queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(queued.back(), reinterpret_cast<sockaddr*>(&address), length);
    }

    DownloadLimits limits;
    limits.connectTimeout = 500ms;
    limits.stallTimeout = 30s;
    m_manager.SetLimits(limits);
    m_manager.SetSourceUrl("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x");
    EXPECT_FALSE(m_manager.Download());
    EXPECT_NE(m_manager.GetErrorText().Lower().Find("connect"), wxNOT_FOUND)
        << m_manager.GetErrorText();

    for (int socket : queued)
        ::close(socket);
    ::close(listener);
    ExpectOldListKept();
}

TEST_F(FileDownload, AServerThatSendsSlowlyButSteadilyIsNotGivenUp)
{
    DownloadLimits limits = QuickLimits();
    limits.stallTimeout = 1000ms;
    m_manager.SetLimits(limits);
    // Eight bytes 200 ms apart: longer in all than the stall limit, but never
    // silent for that long.
    EXPECT_TRUE(Fetch("/drip/8?interval=200"));
    EXPECT_EQ(ReadWholeFile(Destination()), "dddddddd");
}

TEST_F(FileDownload, ASteadyTrickleIsGivenUpAtTheOverallLimit)
{
    DownloadLimits limits = QuickLimits();
    limits.stallTimeout = 1000ms;
    limits.totalTimeout = 1500ms;
    m_manager.SetLimits(limits);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Fetch("/drip/100?interval=200"));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 1500ms);
    EXPECT_LT(took, 10s);
    EXPECT_GT(m_manager.GetBytesReceived(), 0);
    EXPECT_LT(m_manager.GetBytesReceived(), 100);
    EXPECT_NE(m_manager.GetErrorText().Find("longer"), wxNOT_FOUND) << m_manager.GetErrorText();
    ExpectOldListKept();
}

TEST(DownloadLimits, TheProgramAllowsTwoMinutesInAll)
{
    EXPECT_EQ(DownloadLimits().totalTimeout, 120s);
}

TEST_F(FileDownload, ABodyAnnouncedAsTooLargeIsRefusedBeforeItArrives)
{
    DownloadLimits limits = QuickLimits();
    limits.nMaxBodyBytes = 100000;
    m_manager.SetLimits(limits);
    EXPECT_FALSE(Fetch("/size/100001"));
    EXPECT_EQ(m_manager.GetBytesReceived(), 0);
    EXPECT_NE(m_manager.GetErrorText().Find("larger"), wxNOT_FOUND) << m_manager.GetErrorText();
    ExpectOldListKept();
}

TEST_F(FileDownload, ABodyOfExactlyTheLimitIsAccepted)
{
    DownloadLimits limits = QuickLimits();
    limits.nMaxBodyBytes = 100000;
    m_manager.SetLimits(limits);
    EXPECT_TRUE(Fetch("/size/100000"));
    EXPECT_EQ(ReadWholeFile(Destination()).size(), 100000u);
}

TEST_F(FileDownload, AnEndlessBodyIsCutOffAtTheLimit)
{
    DownloadLimits limits = QuickLimits();
    limits.nMaxBodyBytes = 1000000;
    m_manager.SetLimits(limits);
    EXPECT_FALSE(Fetch("/endless"));
    EXPECT_LE(m_manager.GetBytesReceived(), 1000000);
    EXPECT_GT(m_manager.GetBytesReceived(), 0);
    ExpectOldListKept();
}

TEST_F(FileDownload, TheProgramsOwnLimitRefusesBodiesOverSixtyFourMebibytes)
{
    m_manager.SetLimits(DownloadLimits());
    EXPECT_FALSE(Fetch("/size/" + std::to_string(64 * 1024 * 1024 + 1)));
    EXPECT_EQ(m_manager.GetBytesReceived(), 0);
    EXPECT_FALSE(Fetch("/endless"));
    EXPECT_EQ(m_manager.GetBytesReceived(), 64 * 1024 * 1024);
    ExpectOldListKept();
}

TEST_P(FileDownloadRedirect, ARedirectIsFollowed)
{
    const std::string path = "/redirect/" + std::to_string(GetParam()) + "?to=/files/list";
    EXPECT_TRUE(Fetch(path));
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
    EXPECT_EQ(m_pServer->RequestCount("/files/list"), 1);
    ExpectNothingLeftBehind();
}

INSTANTIATE_TEST_SUITE_P(EveryKind, FileDownloadRedirect,
                         ::testing::Values(301, 302, 303, 307, 308));

TEST_F(FileDownload, ARedirectToAnotherServerIsFollowed)
{
    const std::string other = m_home.Path() + "/other";
    ::mkdir(other.c_str(), 0700);
    WriteWholeFile(other + "/elsewhere", "moved list");
    CDownloadTestServer otherServer(other);
    EXPECT_TRUE(Fetch("/redirect/302?to=" + otherServer.Address("/files/elsewhere")));
    EXPECT_EQ(ReadWholeFile(Destination()), "moved list");
}

TEST(RedirectProtocols, ADownloadThatStartsOnHttpsStaysOnHttps)
{
    for (const char* address : {"https://stations.tolvane.example/world.zip", "HTTPS://h/x",
                                "HttpS://h/x", " https://h/x"})
        EXPECT_STREQ(RedirectProtocolsFor(address), "https") << address;
    for (const char* address : {"http://stations.tolvane.example/world.zip", "HTTP://h/x",
                                "file:///tmp/list", "h/x", "", "httpsx://h/x", "https:/h/x"})
        EXPECT_STREQ(RedirectProtocolsFor(address), "http,https") << address;
}

TEST_F(FileDownload, AnHttpsDownloadFollowsRedirectsToHttpsButNotToHttp)
{
    const std::string certificate = m_home.Path() + "/cert.pem";
    const std::string key = m_home.Path() + "/key.pem";
    if (!MakeLoopbackCertificate(certificate, key))
        GTEST_SKIP() << "openssl is needed to make a test certificate";
    CDownloadTestServer secure(ServedFolder(), certificate, key);
    m_manager.SetCertificateAuthorities(certificate);
    const auto fetchSecure = [&](const std::string& path)
    {
        m_manager.SetSourceUrl(secure.Address(path));
        return m_manager.Download() && m_manager.ReplaceFile(Destination());
    };

    EXPECT_FALSE(fetchSecure("/redirect/302?to=" + m_pServer->Address("/files/list")));
    // (Both servers log to one file, so the count is of the path asked for.)
    EXPECT_EQ(m_pServer->RequestCount("/files/list"), 0) << "the plain http server is never asked";
    ExpectOldListKept();

    EXPECT_TRUE(fetchSecure("/redirect/302?to=" + secure.Address("/files/list")));
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
    // A plain http download still follows a redirect to plain http.
    EXPECT_TRUE(Fetch("/redirect/302?to=" + m_pServer->Address("/files/list")));
}

TEST_F(FileDownload, ARedirectToALocalFileIsNotFollowed)
{
    const std::string secret = m_home.Path() + "/secret";
    WriteWholeFile(secret, "private");
    EXPECT_FALSE(Fetch("/redirect/302?to=file://" + secret));
    ExpectOldListKept();
}

TEST_F(FileDownload, ARedirectToAMissingFileFails)
{
    EXPECT_FALSE(Fetch("/redirect/302?to=/files/missing"));
    ExpectOldListKept();
}

TEST_F(FileDownload, EveryDownloadAsksTheServerAfresh)
{
    EXPECT_TRUE(Fetch("/files/list"));
    EXPECT_TRUE(Fetch("/files/list"));
    EXPECT_EQ(m_pServer->RequestCount("/files/list"), 2);
}

TEST_F(FileDownload, AsksThatNoCachedCopyBeUsed)
{
    EXPECT_TRUE(Fetch("/headers"));
    EXPECT_NE(ReadWholeFile(Destination()).find("Cache-Control: no-cache\n"), std::string::npos);
}

TEST_F(FileDownload, ACancelStopsTheTransferAndRemovesTheTemporaryFile)
{
    // A byte every 10 ms for ten seconds: still running when the cancel comes.
    m_manager.SetSourceUrl(m_pServer->Address("/drip/1000?interval=10"));
    EXPECT_FALSE(m_manager.Download([this] { return m_manager.GetBytesReceived() > 0; }));
    EXPECT_EQ(m_manager.GetState(), State::Cancelled);
    EXPECT_FALSE(m_manager.ReplaceFile(Destination()));
    ExpectOldListKept();
}

TEST_F(FileDownload, AFinishedDownloadThatIsCancelledIsNotStored)
{
    m_manager.SetSourceUrl(m_pServer->Address("/files/list"));
    ASSERT_TRUE(m_manager.Download());
    m_manager.Cancel();
    EXPECT_FALSE(m_manager.ReplaceFile(Destination()));
    ExpectOldListKept();
}

TEST_F(FileDownload, TheDestinationIsReplacedWholeNotRewrittenInPlace)
{
    // A reader that opened the old list keeps reading the whole old list.
    const int reader = ::open(Destination().c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(Fetch("/files/list"));
    char buffer[64] = {};
    const ssize_t got = ::pread(reader, buffer, sizeof buffer, 0);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, size_t(std::max<ssize_t>(got, 0))), kOldList);
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
    ExpectNothingLeftBehind();
}

TEST_F(FileDownload, ADestinationInAMissingFolderFailsAndLeavesNoTemporaryFile)
{
    m_manager.SetSourceUrl(m_pServer->Address("/files/list"));
    ASSERT_TRUE(m_manager.Download());
    EXPECT_FALSE(m_manager.ReplaceFile(m_home.Path() + "/missing/StationList.zip"));
    ExpectOldListKept();
}

TEST_F(FileDownload, ADestinationThatCannotBeReplacedIsLeftAsItWasWithNothingBeside)
{
    // A folder in the way: the new file can be written beside it, but the
    // rename over it fails.
    const std::string inTheWay = DestinationFolder() + "/folder";
    ::mkdir(inTheWay.c_str(), 0700);
    m_manager.SetSourceUrl(m_pServer->Address("/files/list"));
    ASSERT_TRUE(m_manager.Download());
    EXPECT_FALSE(m_manager.ReplaceFile(inTheWay));
    EXPECT_TRUE(FilesIn(inTheWay).empty());
    ::rmdir(inTheWay.c_str());
    ExpectOldListKept();
}

TEST_F(FileDownload, AFileAddressIsCopied)
{
    m_manager.SetSourceUrl("file://" + ServedFolder() + "/list");
    EXPECT_TRUE(m_manager.Download());
    EXPECT_TRUE(m_manager.ReplaceFile(Destination()));
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
    ExpectNothingLeftBehind();
}

TEST_F(FileDownload, AMissingFileAddressFails)
{
    m_manager.SetSourceUrl("file://" + ServedFolder() + "/missing");
    EXPECT_FALSE(m_manager.Download());
    ExpectOldListKept();
}

TEST_F(FileDownload, AddressesOfOtherSchemesAreNotFetched)
{
    for (const char* scheme : {"ftp", "gopher", "dict", "telnet"})
    {
        m_manager.SetSourceUrl(wxString(scheme) +
                               "://127.0.0.1:" + std::to_string(m_pServer->Port()) + "/files/list");
        EXPECT_FALSE(m_manager.Download()) << scheme;
    }
    EXPECT_EQ(m_pServer->RequestCount(), 0);
    ExpectOldListKept();
}

TEST_F(FileDownload, AnEmptyAddressFails)
{
    m_manager.SetSourceUrl("");
    EXPECT_FALSE(m_manager.Download());
    ExpectOldListKept();
}

TEST_F(FileDownload, AnHttpsServerIsTrustedOnlyWithAValidCertificate)
{
    const std::string certificate = m_home.Path() + "/cert.pem";
    const std::string key = m_home.Path() + "/key.pem";
    if (!MakeLoopbackCertificate(certificate, key))
        GTEST_SKIP() << "openssl is needed to make a test certificate";
    CDownloadTestServer secure(ServedFolder(), certificate, key);
    m_manager.SetSourceUrl(secure.Address("/files/list"));

    // The system does not know this self-signed certificate.
    EXPECT_FALSE(m_manager.Download());
    EXPECT_TRUE(FilesIn(TempFolder(), "WCF").empty());

    m_manager.SetCertificateAuthorities(certificate);
    EXPECT_TRUE(m_manager.Download());
    EXPECT_TRUE(m_manager.ReplaceFile(Destination()));
    EXPECT_EQ(ReadWholeFile(Destination()), SampleStationList());
}
