// libFuzzer target: any bytes as the settings file.
//
// Besides not crashing, hanging or leaking under AddressSanitizer and
// UndefinedBehaviorSanitizer:
//  - a value written reads back, and every other value reads as before;
//  - the write changes one line, inserts one, or adds its group at the end,
//    and keeps every other line of the file as it was;
//  - a file the reader refuses (over its size limit) is never replaced;
//  - whole numbers read as a plain model of signed 32-bit decimals says.

#include "platform/SettingsFile.h"

#include "FuzzRequire.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
std::string g_path;

const char kBlanks[] = " \t\r\n\f\v";

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The file's lines as a reader sees them: split at LF, the CRs before it dropped.
std::vector<std::string> Lines(const std::string& content)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream stream(content);
    while (std::getline(stream, line))
    {
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Every group and name the file mentions, paired each with each, and a few
// that it does not.
std::vector<std::pair<std::string, std::string>> Keys(const std::vector<std::string>& lines)
{
    std::set<std::string> groups{"Settings", "New group"};
    std::set<std::string> names{"AutoPlay", "Name"};
    for (const std::string& line : lines)
    {
        const std::string trimmed = Trim(line);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']')
            groups.insert(Trim(trimmed.substr(1, trimmed.size() - 2)));
        else if (trimmed.find('=') != std::string::npos)
            names.insert(Trim(trimmed.substr(0, trimmed.find('='))));
    }
    std::vector<std::pair<std::string, std::string>> keys;
    for (const auto& group : groups)
        for (const auto& name : names)
            if (keys.size() < 400)
                keys.emplace_back(group, name);
    return keys;
}

std::optional<std::int32_t> ModelInt32(const std::string& text)
{
    const std::string trimmed = Trim(text);
    size_t i = trimmed.empty() || (trimmed[0] != '+' && trimmed[0] != '-') ? 0 : 1;
    if (i == trimmed.size())
        return std::nullopt;
    for (size_t j = i; j < trimmed.size(); ++j)
        if (trimmed[j] < '0' || trimmed[j] > '9')
            return std::nullopt;
    const std::string digits = trimmed.substr(i).erase(0, trimmed.find_first_not_of('0', i) - i);
    if (digits.size() > 10)
        return std::nullopt;
    const long long value = digits.empty() ? 0 : std::stoll(digits);
    const long long signedValue = trimmed[0] == '-' ? -value : value;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(signedValue);
}

void WriteFile(const std::string& content)
{
    std::ofstream(g_path, std::ios::binary | std::ios::trunc) << content;
}

std::string ReadFile()
{
    std::ifstream file(g_path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The writes flush to disk; in memory that costs nothing.
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string folder = std::string(base) + "/wavecrest-settings-fuzz-XXXXXX";
    REQUIRE(::mkdtemp(folder.data()));
    g_path = folder + "/app.conf";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first line chooses what is written (group, name and value, split at
    // tabs); the rest is the file.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto firstLineEnd = input.find('\n');
    const std::string command = input.substr(0, firstLineEnd);
    const std::string content =
        firstLineEnd == std::string::npos ? std::string() : input.substr(firstLineEnd + 1);
    std::vector<std::string> parts;
    std::istringstream commandStream(command);
    for (std::string part; std::getline(commandStream, part, '\t');)
        parts.push_back(part);
    parts.resize(3);

    WriteFile(content);
    platform::CSettingsFile file(g_path);
    const std::vector<std::string> before = Lines(content);
    const auto keys = Keys(before);
    std::vector<std::optional<std::string>> values;
    for (const auto& [group, name] : keys)
    {
        values.push_back(file.ReadValue(group, name));
        if (values.back())
        {
            REQUIRE(*values.back() == Trim(*values.back()));
            REQUIRE(file.ReadInt(group, name) == ModelInt32(*values.back()));
        }
    }

    // Only what callers write: a name and group without brackets, '=' or line
    // ends, a value on one line.
    const std::string group = Trim(parts[0]);
    const std::string name = Trim(parts[1]);
    const std::string value = Trim(parts[2]);
    if (name.empty() || name.find_first_of("=[]\r\n") != std::string::npos ||
        group.find_first_of("[]\r\n") != std::string::npos ||
        value.find_first_of("\r\n") != std::string::npos)
        return 0;
    const bool written = file.WriteValue(group, name, value);
    if (!written)
    {
        REQUIRE(ReadFile() == content); // refused: left as it was
        return 0;
    }
    REQUIRE(file.ReadValue(group, name) == value);
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i] != std::make_pair(group, name))
            REQUIRE(file.ReadValue(keys[i].first, keys[i].second) == values[i]);

    // Every untouched line is kept, in its place.
    const std::vector<std::string> after = Lines(ReadFile());
    const std::string entry = name + "=" + value;
    size_t same = 0;
    while (same < before.size() && same < after.size() && before[same] == after[same])
        ++same;
    const bool changedOne =
        after.size() == before.size() &&
        (same == after.size() ||
         (after[same] == entry &&
          std::equal(before.begin() + same + 1, before.end(), after.begin() + same + 1)));
    const bool insertedOne =
        after.size() == before.size() + 1 && after[same] == entry &&
        std::equal(before.begin() + same, before.end(), after.begin() + same + 1);
    // Or a new group at the end, after the old lines without their trailing
    // blank ones and one blank line.
    size_t kept = before.size();
    while (kept > 0 && Trim(before[kept - 1]).empty())
        --kept;
    const bool appended = after.size() == kept + 2 + (kept > 0 ? 1 : 0) && same >= kept &&
                          after.back() == entry && after[after.size() - 2] == "[" + group + "]" &&
                          (kept == 0 || after[kept].empty());
    REQUIRE(changedOne || insertedOne || appended);
    return 0;
}
