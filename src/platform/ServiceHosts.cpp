#include "platform/ServiceHosts.h"

#include <arpa/nameser.h>
#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace platform
{
namespace
{
std::vector<std::string> SrvTargets(const std::string& srvName)
{
    std::vector<std::string> targets;
    // A resolver state of this call's own: other threads may ask at the same time.
    struct __res_state state;
    std::memset(&state, 0, sizeof state);
    if (res_ninit(&state) != 0)
        return targets;
    // Without a network the question should not hold anything up for long.
    state.retrans = 3;
    state.retry = 1;
    unsigned char answer[NS_PACKETSZ * 4];
    const int length = res_nquery(&state, srvName.c_str(), ns_c_in, ns_t_srv, answer,
                                  static_cast<int>(sizeof answer));
    ns_msg message;
    if (length > 0 && ns_initparse(answer, length, &message) == 0)
    {
        const int count = ns_msg_count(message, ns_s_an);
        for (int i = 0; i < count; ++i)
        {
            ns_rr record;
            if (ns_parserr(&message, ns_s_an, i, &record) != 0 || ns_rr_type(record) != ns_t_srv)
                continue;
            // Priority, weight and port (two bytes each), then the target's name.
            if (ns_rr_rdlen(record) < 7)
                continue;
            char name[NS_MAXDNAME];
            if (dn_expand(ns_msg_base(message), ns_msg_end(message), ns_rr_rdata(record) + 6, name,
                          sizeof name) < 0)
                continue;
            if (name[0] != '\0')
                targets.emplace_back(name);
        }
    }
    res_nclose(&state);
    return targets;
}

std::vector<std::string> NamesOfAddresses(const std::string& hostName)
{
    std::vector<std::string> names;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    if (getaddrinfo(hostName.c_str(), nullptr, &hints, &addresses) != 0)
        return names;
    for (const addrinfo* address = addresses; address; address = address->ai_next)
    {
        char name[NI_MAXHOST];
        if (getnameinfo(address->ai_addr, address->ai_addrlen, name, sizeof name, nullptr, 0,
                        NI_NAMEREQD) == 0)
            names.emplace_back(name);
    }
    freeaddrinfo(addresses);
    return names;
}
} // namespace

std::vector<std::string> LookUpServiceHosts(const std::string& srvName, const std::string& hostName)
{
    std::vector<std::string> hosts = SrvTargets(srvName);
    if (hosts.empty())
        hosts = NamesOfAddresses(hostName);
    // One host may be named by several records or addresses.
    std::sort(hosts.begin(), hosts.end());
    hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());
    return hosts;
}
} // namespace platform
