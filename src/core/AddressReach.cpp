#include "core/AddressReach.h"

#include <algorithm>
#include <cctype>

namespace
{

bool IsLocalIpv4(const unsigned char* pBytes)
{
    const unsigned a = pBytes[0], b = pBytes[1];
    return a == 0 || a == 127 || a == 10 || (a == 172 && (b & 0xf0) == 16) ||
           (a == 192 && b == 168) || (a == 169 && b == 254);
}

bool IsMappedIpv4(const platform::IpAddress& address)
{
    const auto& b = address.bytes;
    return std::all_of(b.begin(), b.begin() + 10, [](unsigned char c) { return c == 0; }) &&
           b[10] == 0xff && b[11] == 0xff;
}

bool IsUnspecifiedOrLoopbackIpv6(const platform::IpAddress& address)
{
    const auto& b = address.bytes;
    return std::all_of(b.begin(), b.begin() + 15, [](unsigned char c) { return c == 0; }) &&
           b[15] <= 1;
}

bool IsPublic(const HostReach& host)
{
    if (host.bMarkedRemote)
        return true;
    return !host.addresses.empty() &&
           std::none_of(host.addresses.begin(), host.addresses.end(), IsLocalNetworkAddress);
}

} // namespace

bool IsLocalNetworkAddress(const platform::IpAddress& address)
{
    if (!address.bIpv6)
        return IsLocalIpv4(address.bytes.data());
    if (IsMappedIpv4(address))
        return IsLocalIpv4(address.bytes.data() + 12);
    const unsigned char c0 = address.bytes[0], c1 = address.bytes[1];
    const bool bUniqueLocal = (c0 & 0xfe) == 0xfc;             // fc00::/7
    const bool bLinkLocal = c0 == 0xfe && (c1 & 0xc0) == 0x80; // fe80::/10
    return bUniqueLocal || bLinkLocal || IsUnspecifiedOrLoopbackIpv6(address);
}

std::string HostOfAddress(const std::string& strAddress)
{
    const std::size_t nStart = strAddress.find("://");
    if (nStart == std::string::npos)
        return std::string();
    std::string strAuthority = strAddress.substr(nStart + 3);
    strAuthority = strAuthority.substr(0, strAuthority.find_first_of("/?#"));
    strAuthority = strAuthority.substr(strAuthority.rfind('@') + 1); // npos + 1 == 0
    std::string strHost;
    if (!strAuthority.empty() && strAuthority[0] == '[')
        strHost = strAuthority.substr(1, strAuthority.find(']') - 1);
    else
        strHost = strAuthority.substr(0, strAuthority.find(':'));
    std::transform(strHost.begin(), strHost.end(), strHost.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return strHost;
}

std::string RefusalOfEntry(const HostReach& source, const HostReach& entry)
{
    if (!IsPublic(source) || IsPublic(entry))
        return std::string();
    if (entry.addresses.empty())
        return "server not found";
    return "the station's playlist leads to a local address (" + entry.strHost + ")";
}

std::vector<std::string> HostList(const std::string& strText)
{
    std::vector<std::string> hosts;
    std::size_t nStart = 0;
    while (nStart <= strText.size())
    {
        const std::size_t nEnd = std::min(strText.find(',', nStart), strText.size());
        std::string strHost;
        for (std::size_t i = nStart; i < nEnd; ++i)
            if (!std::isspace(static_cast<unsigned char>(strText[i])))
                strHost += static_cast<char>(std::tolower(static_cast<unsigned char>(strText[i])));
        if (!strHost.empty())
            hosts.push_back(strHost);
        nStart = nEnd + 1;
    }
    return hosts;
}
