// libFuzzer target: any bytes as a name server's answer, read for the
// targets of its SRV records and the names of its PTR records.
//
// Besides not crashing, hanging or leaking under AddressSanitizer and
// UndefinedBehaviorSanitizer, and reading only the bytes given (they are
// copied to a block of exactly their size):
//  - every name read is a host name in the directory's domain;
//  - never more than kMostServiceHosts of them.

#include "platform/ServiceHosts.h"

#include "FuzzRequire.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string domain = "radio-browser.info";
    const std::unique_ptr<unsigned char[]> answer(new unsigned char[size ? size : 1]);
    std::copy(data, data + size, answer.get());

    for (const auto& names : {platform::SrvTargetsOfAnswer(answer.get(), size, domain),
                              platform::PointerNamesOfAnswer(answer.get(), size, domain)})
    {
        REQUIRE(names.size() <= platform::kMostServiceHosts);
        for (const std::string& name : names)
            REQUIRE(platform::IsHostInDomain(name, domain));
    }
    return 0;
}
