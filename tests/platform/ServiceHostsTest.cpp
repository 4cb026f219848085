// Reading the name servers' answers as a hostile server would send them (cut
// off, oversized, malformed, naming hosts of other domains), and the lookup
// itself through the real resolver against tests/support/dns_test_server.py.
#include "platform/ServiceHosts.h"

#include "support/ServerProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<unsigned char>;
const std::string kDomain = "radio-browser.info";

void Add16(Bytes& bytes, unsigned value)
{
    bytes.push_back(static_cast<unsigned char>(value >> 8));
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
}

// Labels of raw bytes, so that a label may hold what no host name has.
Bytes Name(const std::vector<std::string>& labels)
{
    Bytes name;
    for (const std::string& label : labels)
    {
        name.push_back(static_cast<unsigned char>(label.size()));
        name.insert(name.end(), label.begin(), label.end());
    }
    name.push_back(0);
    return name;
}

// A whole answer to "_api._tcp.radio-browser.info" SRV with records whose
// data are `rdatas`; `claimed` answer records in the header (-1: as many).
Bytes SrvAnswer(const std::vector<Bytes>& rdatas, int claimed = -1)
{
    Bytes packet;
    Add16(packet, 0x1234);
    Add16(packet, 0x8180);
    Add16(packet, 1);
    Add16(packet, claimed < 0 ? unsigned(rdatas.size()) : unsigned(claimed));
    Add16(packet, 0);
    Add16(packet, 0);
    const Bytes question = Name({"_api", "_tcp", "radio-browser", "info"});
    packet.insert(packet.end(), question.begin(), question.end());
    Add16(packet, 33);
    Add16(packet, 1);
    for (const Bytes& rdata : rdatas)
    {
        Add16(packet, 0xC00C); // the question's name
        Add16(packet, 33);
        Add16(packet, 1);
        Add16(packet, 0);
        Add16(packet, 60);
        Add16(packet, unsigned(rdata.size()));
        packet.insert(packet.end(), rdata.begin(), rdata.end());
    }
    return packet;
}

Bytes Srv(const Bytes& target)
{
    Bytes rdata = {0, 1, 0, 1, 0x01, 0xBB};
    rdata.insert(rdata.end(), target.begin(), target.end());
    return rdata;
}

std::vector<std::string> Read(const Bytes& packet, std::size_t length)
{
    return platform::SrvTargetsOfAnswer(packet.data(), length, kDomain);
}
} // namespace

TEST(ServiceHosts, OnlyHostNamesOfTheDomainAreTaken)
{
    const Bytes packet = SrvAnswer({
        Srv(Name({"de1", "api", "RADIO-Browser", "info"})),
        Srv(Name({"radio-browser", "info"})),
        Srv(Name({"evil", "example"})),
        Srv(Name({"notradio-browser", "info"})),
        Srv(Name({"evil.com/x", "radio-browser", "info"})), // a dot and a slash in one label
        Srv(Name({"a b", "radio-browser", "info"})),
        Srv(Name({"at@home", "radio-browser", "info"})),
        Srv({0, 1, 0, 1, 0x01}), // too short for a target
        Srv({0xC0, 0xFF}),       // a pointer beyond the end
        Srv({0xC0, 0x00}) /* the header read as a name */,
    });
    EXPECT_EQ(Read(packet, packet.size()),
              (std::vector<std::string>{"de1.api.radio-browser.info", "radio-browser.info"}));
}

TEST(ServiceHosts, CutMalformedAndOversizedAnswersAreReadWithinTheirBytes)
{
    std::vector<Bytes> many;
    for (int i = 0; i < 660; ++i)
        many.push_back(Srv(Name({"s" + std::to_string(i), "api", "radio-browser", "info"})));
    const Bytes big = SrvAnswer(many);
    EXPECT_GT(big.size(), 30000u);
    EXPECT_EQ(Read(big, big.size()).size(), platform::kMostServiceHosts);

    // Cut anywhere, even at the length res_nquery gives of an answer it cut
    // to its buffer: nothing is read beyond the bytes given.
    for (std::size_t length = 0; length < big.size(); length += 97)
        EXPECT_TRUE(Read(big, length).empty()) << length;
    EXPECT_TRUE(platform::SrvTargetsOfAnswer(nullptr, 100, kDomain).empty());

    const Bytes overclaimed = SrvAnswer({Srv(Name({"a", "radio-browser", "info"}))}, 40);
    EXPECT_TRUE(Read(overclaimed, overclaimed.size()).empty()) << "more records claimed than sent";
    Bytes loop = SrvAnswer({Srv({0xC0, 0x00})});
    const std::size_t target = loop.size() - 2;
    loop[target + 1] = static_cast<unsigned char>(target); // the name points at itself
    EXPECT_TRUE(Read(loop, loop.size()).empty());
}

TEST(ServiceHosts, HostsInDomain)
{
    for (const char* host :
         {"radio-browser.info", "a.radio-browser.info", "a-1.b.radio-browser.info"})
        EXPECT_TRUE(platform::IsHostInDomain(host, kDomain)) << host;
    for (const char* host :
         {"", "info", "xradio-browser.info", ".radio-browser.info", "a..radio-browser.info",
          "a_b.radio-browser.info", "a\\.radio-browser.info", "radio-browser.info.evil.example"})
        EXPECT_FALSE(platform::IsHostInDomain(host, kDomain)) << host;
}

// The real resolver, asking the loopback name server only.
class ServiceLookupTest : public ::testing::Test
{
protected:
    std::vector<std::string> LookUp(const std::vector<std::string>& serverArguments)
    {
        CServerProcess server(WC_DNS_TEST_SERVER, serverArguments, "DNS test server");
        return platform::LookUpServiceHosts({"_api._tcp.radio-browser.info",
                                             "all.api.radio-browser.info", kDomain,
                                             "127.0.0.1:" + std::to_string(server.Port())});
    }
};

TEST_F(ServiceLookupTest, AnAnswerOverTcpOfThirtyKilobytesGivesSixteenHosts)
{
    const std::vector<std::string> hosts = LookUp({"--srv-count", "660", "--srv", "evil.example"});
    ASSERT_EQ(hosts.size(), platform::kMostServiceHosts);
    for (const std::string& host : hosts)
        EXPECT_TRUE(platform::IsHostInDomain(host, kDomain)) << host;
}

TEST_F(ServiceLookupTest, WithoutSrvRecordsTheNamesOfTheAddressesInTheDomainAreFound)
{
    EXPECT_EQ(LookUp({"--a", "127.0.0.1", "--a", "127.0.0.2", "--ptr", "de1.api.radio-browser.info",
                      "--ptr", "evil.example"}),
              std::vector<std::string>{"de1.api.radio-browser.info"});
}
