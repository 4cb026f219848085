#pragma once
// Finding the servers of a service on the network: the host names its DNS SRV
// records name, or else the names of the addresses one host name has. It
// blocks while the resolver asks, so it belongs on a worker thread.
//
// Whatever a name server answers is only trusted as far as it fits: an answer
// is read within the bytes that arrived, only host names of the service's own
// domain are taken, and at most kMostServiceHosts of them.

#include <cstddef>
#include <string>
#include <vector>

namespace platform
{
constexpr std::size_t kMostServiceHosts = 16;

struct ServiceLookup
{
    std::string srvName;  // "_api._tcp.example.org"
    std::string hostName; // asked for its addresses when there is no SRV record
    std::string domain;   // "example.org": only it and names under it are taken
    // "127.0.0.1:5353": the one name server to ask; empty asks the system's.
    std::string nameServer;
};

// The targets of the SRV records of srvName; without any, the reverse names
// of the addresses of hostName (an address without a name is left out).
// Sorted, each once; empty when nothing answers.
std::vector<std::string> LookUpServiceHosts(const ServiceLookup& lookup);

// The reading of one DNS answer of `length` bytes: the targets of its SRV
// records, or the names of its PTR records, that lie in `domain`, in lower
// case and without the root's dot; at most kMostServiceHosts. A cut or
// malformed answer gives what could be read of it, or nothing.
std::vector<std::string> SrvTargetsOfAnswer(const unsigned char* answer, std::size_t length,
                                            const std::string& domain);
std::vector<std::string> PointerNamesOfAnswer(const unsigned char* answer, std::size_t length,
                                              const std::string& domain);

// Whether `host` ("a.example.org") is `domain` or a name under it, made only
// of letters, digits, hyphens and dots, as a host name of an address must be.
bool IsHostInDomain(const std::string& host, const std::string& domain);
} // namespace platform
