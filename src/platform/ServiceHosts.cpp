#include "platform/ServiceHosts.h"

#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netinet/in.h>
#include <resolv.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>

namespace platform
{
namespace
{
// The largest DNS message there is (its length is a 16-bit number), so an
// answer is never cut to fit.
constexpr std::size_t kAnswerCapacity = 65536;

using RecordVisitor = std::function<bool(const ns_msg& message, const ns_rr& record)>;

// Calls `visit` with every answer record of the given type until it returns
// false. Nothing at all for an answer that does not parse within its bytes.
void VisitAnswerRecords(const unsigned char* answer, std::size_t length, ns_type type,
                        const RecordVisitor& visit)
{
    ns_msg message;
    if (!answer || length == 0 || length > kAnswerCapacity ||
        ns_initparse(answer, static_cast<int>(length), &message) != 0)
        return;
    const int count = ns_msg_count(message, ns_s_an);
    for (int i = 0; i < count; ++i)
    {
        ns_rr record;
        if (ns_parserr(&message, ns_s_an, i, &record) != 0)
            return;
        if (ns_rr_type(record) == type && ns_rr_class(record) == ns_c_in && !visit(message, record))
            return;
    }
}

// The name at `name` inside the message, in lower case and without the
// root's dot; empty when it cannot be read.
std::string ExpandName(const ns_msg& message, const unsigned char* name)
{
    char expanded[NS_MAXDNAME];
    if (dn_expand(ns_msg_base(message), ns_msg_end(message), name, expanded, sizeof expanded) < 0)
        return std::string();
    std::string text = expanded;
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The names in `domain` the records give, from `offset` into each record's data.
std::vector<std::string> NamesOfAnswer(const unsigned char* answer, std::size_t length,
                                       ns_type type, std::size_t offset, const std::string& domain)
{
    std::vector<std::string> names;
    VisitAnswerRecords(answer, length, type,
                       [&](const ns_msg& message, const ns_rr& record)
                       {
                           if (ns_rr_rdlen(record) > offset)
                           {
                               std::string name = ExpandName(message, ns_rr_rdata(record) + offset);
                               if (IsHostInDomain(name, domain))
                                   names.push_back(std::move(name));
                           }
                           return names.size() < kMostServiceHosts;
                       });
    return names;
}

// The reverse names ("4.3.2.1.in-addr.arpa", nibbles under "ip6.arpa") of
// the addresses of A or AAAA records.
std::vector<std::string> ReverseNamesOfAnswer(const unsigned char* answer, std::size_t length,
                                              ns_type type)
{
    std::vector<std::string> reverse;
    const std::size_t size = type == ns_t_a ? 4 : 16;
    VisitAnswerRecords(answer, length, type,
                       [&](const ns_msg&, const ns_rr& record)
                       {
                           if (ns_rr_rdlen(record) != size)
                               return true;
                           const unsigned char* bytes = ns_rr_rdata(record);
                           std::string name;
                           char part[8];
                           for (std::size_t i = size; i-- > 0;)
                           {
                               if (size == 4)
                                   std::snprintf(part, sizeof part, "%u.", bytes[i]);
                               else
                                   std::snprintf(part, sizeof part, "%x.%x.", bytes[i] & 0xF,
                                                 bytes[i] >> 4);
                               name += part;
                           }
                           reverse.push_back(name + (size == 4 ? "in-addr.arpa" : "ip6.arpa"));
                           return reverse.size() < kMostServiceHosts;
                       });
    return reverse;
}

// A resolver state of one lookup's own (other threads may ask at the same
// time), asking `nameServer` ("address:port") when one is given.
class CResolver
{
public:
    explicit CResolver(const std::string& nameServer)
    {
        std::memset(&m_state, 0, sizeof m_state);
        m_bReady = res_ninit(&m_state) == 0;
        if (!m_bReady)
            return;
        // Without a network the question should not hold anything up for long.
        m_state.retrans = 3;
        m_state.retry = 1;
        if (!nameServer.empty())
            m_bReady = UseNameServer(nameServer);
    }
    ~CResolver()
    {
        if (m_bReady)
            res_nclose(&m_state);
    }
    CResolver(const CResolver&) = delete;
    CResolver& operator=(const CResolver&) = delete;

    // The answer's bytes; empty when there is none. res_nquery returns the
    // whole answer's length even where it had to cut it to the buffer, so
    // only as much as the buffer holds is ever read.
    std::vector<unsigned char> Query(const std::string& name, ns_type type)
    {
        std::vector<unsigned char> answer;
        if (!m_bReady)
            return answer;
        answer.resize(kAnswerCapacity);
        const int length = res_nquery(&m_state, name.c_str(), ns_c_in, type, answer.data(),
                                      static_cast<int>(answer.size()));
        answer.resize(length > 0 ? std::min(std::size_t(length), answer.size()) : 0);
        return answer;
    }

private:
    bool UseNameServer(const std::string& nameServer)
    {
        const std::size_t colon = nameServer.rfind(':');
        const std::string host = nameServer.substr(0, colon);
        const int port =
            colon == std::string::npos ? NS_DEFAULTPORT : std::atoi(nameServer.c_str() + colon + 1);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        if (port <= 0 || port > 65535 || inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
            return false;
        m_state.nsaddr_list[0] = address;
        m_state.nscount = 1;
        return true;
    }

    struct __res_state m_state;
    bool m_bReady = false;
};

std::vector<std::string> SrvTargets(CResolver& resolver, const ServiceLookup& lookup)
{
    const std::vector<unsigned char> answer = resolver.Query(lookup.srvName, ns_t_srv);
    return SrvTargetsOfAnswer(answer.data(), answer.size(), lookup.domain);
}

std::vector<std::string> NamesOfAddresses(CResolver& resolver, const ServiceLookup& lookup)
{
    std::vector<std::string> reverse;
    for (const ns_type type : {ns_t_a, ns_t_aaaa})
    {
        const std::vector<unsigned char> answer = resolver.Query(lookup.hostName, type);
        for (std::string& name : ReverseNamesOfAnswer(answer.data(), answer.size(), type))
            if (reverse.size() < kMostServiceHosts)
                reverse.push_back(std::move(name));
    }
    std::vector<std::string> names;
    for (const std::string& address : reverse)
    {
        const std::vector<unsigned char> answer = resolver.Query(address, ns_t_ptr);
        for (std::string& name : PointerNamesOfAnswer(answer.data(), answer.size(), lookup.domain))
            names.push_back(std::move(name));
    }
    return names;
}
} // namespace

bool IsHostInDomain(const std::string& host, const std::string& domain)
{
    if (domain.empty() || host.size() < domain.size() || host.size() > NS_MAXDNAME)
        return false;
    const auto allowed = [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '.'; };
    if (!std::all_of(host.begin(), host.end(), allowed) || host.front() == '.' ||
        host.find("..") != std::string::npos)
        return false;
    if (host.size() == domain.size())
        return host == domain;
    return host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
           host[host.size() - domain.size() - 1] == '.';
}

std::vector<std::string> SrvTargetsOfAnswer(const unsigned char* answer, std::size_t length,
                                            const std::string& domain)
{
    // Priority, weight and port (two bytes each), then the target's name.
    return NamesOfAnswer(answer, length, ns_t_srv, 6, domain);
}

std::vector<std::string> PointerNamesOfAnswer(const unsigned char* answer, std::size_t length,
                                              const std::string& domain)
{
    return NamesOfAnswer(answer, length, ns_t_ptr, 0, domain);
}

std::vector<std::string> LookUpServiceHosts(const ServiceLookup& lookup)
{
    CResolver resolver(lookup.nameServer);
    std::vector<std::string> hosts = SrvTargets(resolver, lookup);
    if (hosts.empty())
        hosts = NamesOfAddresses(resolver, lookup);
    // One host may be named by several records or addresses.
    std::sort(hosts.begin(), hosts.end());
    hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());
    if (hosts.size() > kMostServiceHosts)
        hosts.resize(kMostServiceHosts);
    return hosts;
}
} // namespace platform
