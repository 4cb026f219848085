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
};

// GET of the address, with the program's User-Agent. Refuses bodies over the
// limit, and ends once `cancelled` becomes true.
FetchResult FetchFromDirectory(const std::string& address, const DirectoryLimits& limits,
                               const std::atomic<bool>& cancelled);

// "Wavecrest/<version>".
const char* DirectoryUserAgent();
