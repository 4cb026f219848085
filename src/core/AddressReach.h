#pragma once
// Where the addresses a stream leads to may reach. A station's server can
// answer with a playlist that points anywhere, also at this machine
// (127.0.0.1) or the local network, where it has no business: what a remote
// server leads to may only reach the public network. What the person chose,
// and what a local server leads to, is trusted as it is.

#include "platform/HostAddresses.h"

#include <string>
#include <vector>

// Whether an address belongs to this machine or the local network (loopback,
// private, unique-local, link-local, unspecified; IPv4 inside IPv6 counts as
// the IPv4 address).
bool IsLocalNetworkAddress(const platform::IpAddress& address);

// The host named by a network address, in lower case and without brackets
// ("" when it names none).
std::string HostOfAddress(const std::string& strAddress);

// What is known of a host: its addresses, and whether it counts as remote
// whatever they are (test setups mark loopback hosts so).
struct HostReach
{
    std::string strHost;
    std::vector<platform::IpAddress> addresses;
    bool bMarkedRemote = false;
};

// Why an address that a source led to may not be opened ("" when it may).
std::string RefusalOfEntry(const HostReach& source, const HostReach& entry);

// The hosts listed in a comma-separated text, in lower case.
std::vector<std::string> HostList(const std::string& strText);
