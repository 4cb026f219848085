// libFuzzer target: any bytes as a station-list file.
//
// Besides not crashing, hanging or leaking under AddressSanitizer and
// UndefinedBehaviorSanitizer, the reader, parser and load must agree with
// each other:
//  - decoding in one block and in blocks of varying size gives the same lines;
//  - every line is valid UTF-8 without NUL or LF, numbered from 1, and there
//    is one line per LF plus one for anything after the last LF;
//  - every field is trimmed, fields 0 to 5 hold no comma, a line of seven or
//    more fields splits again into the same fields when they are joined, and
//    the wide-string parser gives the same record as the UTF-8 one;
//  - the load of the file from the data folder gives the same header and
//    channels as the lines added one by one, and leaves no file behind;
//  - the maintainers' tool reads the same file with exit code 0 or 1 and
//    leaves it in place.

#include "catalogue/DataFolder.h"
#include "catalogue/StationList.h"
#include "tools/stations/StationsTool.h"

#include "FuzzRequire.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
std::string g_scratchFile;
std::FILE* g_null = nullptr;

struct DecodedLine
{
    std::string text;
    long number;
    unsigned problems;
    bool operator==(const DecodedLine& other) const
    {
        return text == other.text && number == other.number && problems == other.problems;
    }
};

std::vector<DecodedLine> Decode(const uint8_t* data, size_t size, uint8_t seed)
{
    std::vector<DecodedLine> lines;
    CStationListDecoder decoder(
        [&lines](const StationListLine& line) {
            lines.push_back({std::string(line.text), line.number, line.problems});
        });
    if (seed == 0)
    {
        decoder.Feed(reinterpret_cast<const char*>(data), size);
    }
    else
    {
        size_t offset = 0;
        unsigned step = seed;
        while (offset < size)
        {
            const size_t length = std::min<size_t>(size - offset, step % 13);
            decoder.Feed(reinterpret_cast<const char*>(data) + offset, length);
            offset += length;
            step = step * 7 + 3;
        }
    }
    decoder.Finish();
    return lines;
}

bool IsValidUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size())
    {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length;
        char32_t code;
        if (c < 0x80)
        {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            length = 2, code = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3, code = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, code = c & 0x07;
        else
            return false;
        if (i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k)
        {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void CheckRecord(const std::string& line, const CChannelRecord& record)
{
    size_t total = 0;
    for (int field = 0; field < CChannelRecord::kFieldCount; ++field)
    {
        const std::string_view text = record.FieldUtf8(field);
        total += text.size();
        REQUIRE(TrimFieldSpace(text) == text);
        if (field < CChannelRecord::kFieldCount - 1)
            REQUIRE(text.find(',') == std::string_view::npos);
    }
    REQUIRE(total <= line.size());

    if (std::count(line.begin(), line.end(), ',') >= CChannelRecord::kFieldCount - 1)
    {
        std::string joined;
        for (int field = 0; field < CChannelRecord::kFieldCount; ++field)
            joined += std::string(field ? "," : "") + std::string(record.FieldUtf8(field));
        REQUIRE(CChannelRecord::ParseUtf8(joined) == record);
    }
    else
    {
        // A short line leaves the fields after the last one it has empty.
        const long commas = std::count(line.begin(), line.end(), ',');
        for (long field = commas + 1; field < CChannelRecord::kFieldCount; ++field)
            REQUIRE(record.FieldUtf8(static_cast<int>(field)).empty());
    }
}

bool SameList(const CStationList& a, const CStationList& b)
{
    if (a.m_header != b.m_header || a.m_channels.GetCount() != b.m_channels.GetCount())
        return false;
    for (int i = 0; i < a.m_channels.GetCount(); ++i)
        if (a.m_channels[i] != b.m_channels[i])
            return false;
    return true;
}

int RemoveEntry(const char* path, const struct stat*, int, FTW*)
{
    return ::remove(path);
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    REQUIRE(file.good());
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // On a memory file system when there is one: the input is written twice per run.
    static std::string home = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              "/wavecrest-fuzz-XXXXXX";
    if (!::mkdtemp(home.data()))
        std::abort();
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    g_scratchFile = home + "/scratch.utf16";
    g_null = std::fopen("/dev/null", "w");
    std::atexit([] { ::nftw(home.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Decoding in one block and in small blocks of varying size agree.
    const std::vector<DecodedLine> lines = Decode(data, size, 0);
    const uint8_t seed = size ? static_cast<uint8_t>(data[size - 1] | 1) : 1;
    REQUIRE(Decode(data, size, seed) == lines);

    // One line per LF, and one more for anything after the last LF.
    size_t expectedLines = 0;
    bool tail = false;
    for (size_t i = 0; i + 1 < size; i += 2)
    {
        tail = true;
        if (data[i] == '\n' && data[i + 1] == 0)
            ++expectedLines, tail = false;
    }
    if (size % 2)
        tail = true;
    REQUIRE(lines.size() == expectedLines + (tail ? 1 : 0));

    // Filters chosen by the input.
    const uint8_t flags = size ? data[0] : 0;
    ChannelFilters filters;
    filters.showRadio = !(flags & 1);
    filters.showTV = !(flags & 2);

    CStationList added(filters);
    CStationList unfiltered = CStationList::EveryChannel();
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const DecodedLine& line = lines[i];
        REQUIRE(line.number == static_cast<long>(i + 1));
        REQUIRE(IsValidUtf8(line.text));
        REQUIRE(line.text.find('\0') == std::string::npos);
        REQUIRE(line.text.find('\n') == std::string::npos);

        const CChannelRecord record = CChannelRecord::ParseUtf8(line.text);
        CheckRecord(line.text, record);
        const CChannelRecord wide =
            CChannelRecord::Parse(wxString::FromUTF8(line.text.data(), line.text.size()));
        REQUIRE(wide == record);
        for (int field = 0; field < CChannelRecord::kFieldCount; ++field)
            REQUIRE(record.GetField(field).utf8_string() == record.FieldUtf8(field));

        added.AddLineUtf8(line.text);
        unfiltered.AddLineUtf8(line.text);
    }
    REQUIRE(added.m_channels.GetCount() <= unfiltered.m_channels.GetCount());
    REQUIRE(added.m_header == unfiltered.m_header);
    for (const CChannelRecord& channel : added.m_channels)
    {
        const std::string_view type = channel.FieldUtf8(CChannelRecord::kType);
        REQUIRE(!((flags & 1) && EqualsNoCase(type, "radio")));
        REQUIRE(!((flags & 2) && EqualsNoCase(type, "tv")));
    }

    // The load from the data folder sees the same and leaves no file.
    const std::string stationList = GetStationListPath();
    WriteFile(stationList, data, size);
    CStationList loaded(filters);
    REQUIRE(loaded.Load());
    REQUIRE(::access(stationList.c_str(), F_OK) != 0);
    REQUIRE(SameList(loaded, added));

    // The tool reads it too, and leaves it where it is.
    WriteFile(g_scratchFile, data, size);
    for (const char* command : {"dump", "check"})
    {
        const char* argv[] = {"wavecrest-stations", command, g_scratchFile.c_str(), nullptr};
        const int status = RunStationsTool(3, argv, g_null, g_null);
        REQUIRE(status == 0 || (status == 1 && std::string(command) == "check"));
    }
    REQUIRE(::access(g_scratchFile.c_str(), F_OK) == 0);
    return 0;
}
