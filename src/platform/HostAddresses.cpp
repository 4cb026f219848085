#include "platform/HostAddresses.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace platform
{

namespace
{

IpAddress FromSocketAddress(const sockaddr* pAddress)
{
    IpAddress address;
    if (pAddress->sa_family == AF_INET6)
    {
        address.bIpv6 = true;
        const auto* pIpv6 = reinterpret_cast<const sockaddr_in6*>(pAddress);
        std::memcpy(address.bytes.data(), &pIpv6->sin6_addr, 16);
    }
    else
    {
        const auto* pIpv4 = reinterpret_cast<const sockaddr_in*>(pAddress);
        std::memcpy(address.bytes.data(), &pIpv4->sin_addr, 4);
    }
    return address;
}

} // namespace

std::vector<IpAddress> ResolveHostAddresses(const std::string& strHost)
{
    std::vector<IpAddress> addresses;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pList = nullptr;
    if (strHost.empty() || ::getaddrinfo(strHost.c_str(), nullptr, &hints, &pList) != 0)
        return addresses;
    for (const addrinfo* pEntry = pList; pEntry; pEntry = pEntry->ai_next)
    {
        if (pEntry->ai_family == AF_INET || pEntry->ai_family == AF_INET6)
            addresses.push_back(FromSocketAddress(pEntry->ai_addr));
    }
    ::freeaddrinfo(pList);
    return addresses;
}

bool ParseIpAddress(const std::string& strText, IpAddress& address)
{
    address = IpAddress();
    if (::inet_pton(AF_INET, strText.c_str(), address.bytes.data()) == 1)
        return true;
    address.bIpv6 = true;
    return ::inet_pton(AF_INET6, strText.c_str(), address.bytes.data()) == 1;
}

} // namespace platform
