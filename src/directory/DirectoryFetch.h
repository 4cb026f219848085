#pragma once
// One request to one directory server over libcurl, blocking the calling
// thread (the directory client's worker) until the answer is in, a limit is
// reached, or the caller gives up.

#include "directory/DirectorySession.h"

#include <atomic>
#include <string>

struct FetchResult
{
    bool ok = false;
    std::string body;
    std::string error; // what went wrong, for the status line
    bool bTooLarge = false;
};

// GET of the address, with the program's User-Agent and the session's time
// limits. A body over nMaxBodyBytes is refused at once when its length is
// announced, else as soon as more has arrived; the request ends once
// `cancelled` becomes true.
FetchResult FetchFromDirectory(const std::string& address, const DirectoryLimits& limits,
                               std::size_t nMaxBodyBytes, const std::atomic<bool>& cancelled);

// "Wavecrest/<version>".
const char* DirectoryUserAgent();
