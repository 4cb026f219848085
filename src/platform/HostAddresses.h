#pragma once
// The network addresses behind a host name, found through the system's
// resolver (which also reads address literals such as "10.0.0.1" or "::1").

#include <array>
#include <string>
#include <vector>

namespace platform
{

// One IPv4 or IPv6 address, in network byte order (IPv4 in the first four bytes).
struct IpAddress
{
    bool bIpv6 = false;
    std::array<unsigned char, 16> bytes{};
};

// Every address of the host; empty when it has none or the lookup failed.
// Blocks while the resolver works: call it beside the GUI thread.
std::vector<IpAddress> ResolveHostAddresses(const std::string& strHost);

// An address literal ("192.168.1.2", "fe80::1"); false when the text is none.
bool ParseIpAddress(const std::string& strText, IpAddress& address);

} // namespace platform
