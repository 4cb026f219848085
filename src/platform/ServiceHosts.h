#pragma once
// Finding the servers of a service on the network: the host names its DNS SRV
// records name, or else the names of the addresses one host name has. It
// blocks while the resolver asks, so it belongs on a worker thread.

#include <string>
#include <vector>

namespace platform
{
// The targets of the SRV records of srvName ("_api._tcp.example.org");
// without any, the reverse names of every address of hostName (an address
// without a name is left out). Empty when nothing answers.
std::vector<std::string> LookUpServiceHosts(const std::string& srvName,
                                            const std::string& hostName);
} // namespace platform
