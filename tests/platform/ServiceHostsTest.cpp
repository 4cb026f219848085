// Finding a service's hosts through the system's resolver: without SRV
// records, the names of a host's addresses are what is found.
#include "platform/ServiceHosts.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(ServiceHosts, WithoutSrvRecordsTheNamesOfTheHostsAddressesAreFound)
{
    // ".invalid" is never a name in DNS; "localhost" is one the machine itself answers.
    const std::vector<std::string> hosts =
        platform::LookUpServiceHosts("_api._tcp.wavecrest.invalid", "localhost");
    EXPECT_NE(std::find(hosts.begin(), hosts.end(), "localhost"), hosts.end());
    EXPECT_TRUE(std::is_sorted(hosts.begin(), hosts.end()));
    EXPECT_EQ(std::adjacent_find(hosts.begin(), hosts.end()), hosts.end()) << "each host once";
    EXPECT_TRUE(
        platform::LookUpServiceHosts("_api._tcp.wavecrest.invalid", "wavecrest.invalid").empty());
}
