#include "core/AddressReach.h"

#include <gtest/gtest.h>

namespace
{

platform::IpAddress Ip(const std::string& strText)
{
    platform::IpAddress address;
    EXPECT_TRUE(platform::ParseIpAddress(strText, address)) << strText;
    return address;
}

HostReach Host(const std::string& strHost, std::vector<std::string> addresses, bool bMarked = false)
{
    HostReach reach;
    reach.strHost = strHost;
    for (const auto& strAddress : addresses)
        reach.addresses.push_back(Ip(strAddress));
    reach.bMarkedRemote = bMarked;
    return reach;
}

} // namespace

class LocalNetworkAddresses : public ::testing::TestWithParam<std::pair<const char*, bool>>
{
};

TEST_P(LocalNetworkAddresses, AreToldFromPublicOnesAtTheirRangesEdges)
{
    EXPECT_EQ(IsLocalNetworkAddress(Ip(GetParam().first)), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LocalNetworkAddresses,
    ::testing::Values(std::make_pair("127.0.0.1", true), std::make_pair("127.255.0.9", true),
                      std::make_pair("0.0.0.0", true), std::make_pair("10.1.2.3", true),
                      std::make_pair("172.16.0.1", true), std::make_pair("172.31.255.255", true),
                      std::make_pair("172.15.0.1", false), std::make_pair("172.32.0.1", false),
                      std::make_pair("192.168.1.1", true), std::make_pair("192.169.1.1", false),
                      std::make_pair("169.254.169.254", true), std::make_pair("8.8.8.8", false),
                      std::make_pair("::1", true), std::make_pair("::", true),
                      std::make_pair("fc00::1", true), std::make_pair("fdff::1", true),
                      std::make_pair("fe80::1", true), std::make_pair("febf::1", true),
                      std::make_pair("fec0::1", false), std::make_pair("2001:db8::1", false),
                      std::make_pair("::ffff:127.0.0.1", true),
                      std::make_pair("::ffff:192.168.0.7", true),
                      std::make_pair("::ffff:8.8.4.4", false), std::make_pair("::2", false)));

TEST(AddressHosts, AreTakenFromTheAuthorityInLowerCase)
{
    EXPECT_EQ(HostOfAddress("http://Radio.Example:8000/live?x=1"), "radio.example");
    EXPECT_EQ(HostOfAddress("https://user:pw@10.0.0.2/stream"), "10.0.0.2");
    EXPECT_EQ(HostOfAddress("http://[FE80::1]:80/a"), "fe80::1");
    EXPECT_EQ(HostOfAddress("http://a.example#frag@127.0.0.1"), "a.example");
    EXPECT_EQ(HostOfAddress("no address"), "");
    EXPECT_EQ(HostList(" LocalHost , 127.0.0.2,,"),
              (std::vector<std::string>{"localhost", "127.0.0.2"}));
}

TEST(PlaylistEntries, OfARemoteSourceMayOnlyReachThePublicNetwork)
{
    const HostReach remote = Host("radio.example", {"203.0.113.5"});
    const HostReach lan = Host("nas.lan", {"192.168.1.20"});
    const HostReach loopback = Host("127.0.0.1", {"127.0.0.1"});
    const HostReach mixed = Host("tricky.example", {"203.0.113.9", "10.0.0.1"});
    const HostReach unknown = Host("nowhere.example", {});
    EXPECT_EQ(RefusalOfEntry(remote, remote), "");
    EXPECT_EQ(RefusalOfEntry(remote, loopback),
              "the station's playlist leads to a local address (127.0.0.1)");
    EXPECT_NE(RefusalOfEntry(remote, lan), "");
    EXPECT_NE(RefusalOfEntry(remote, mixed), "");
    EXPECT_EQ(RefusalOfEntry(remote, unknown), "server not found");
    // A source on the local network is the person's own: it may lead anywhere.
    EXPECT_EQ(RefusalOfEntry(lan, loopback), "");
    EXPECT_EQ(RefusalOfEntry(loopback, lan), "");
    // A source that could not be looked up leads where it likes; the engine
    // will not reach it either.
    EXPECT_EQ(RefusalOfEntry(unknown, loopback), "");
    // Marked hosts count as remote whatever they resolve to.
    EXPECT_NE(RefusalOfEntry(Host("localhost", {}, true), loopback), "");
    EXPECT_EQ(RefusalOfEntry(remote, Host("127.0.0.2", {}, true)), "");
}
