#include "tools/stations/StationsTool.h"

#include "catalogue/StationList.h"
#include "core/StreamAddress.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace
{
const char kUsage[] = "usage: wavecrest-stations dump FILE\n"
                      "       wavecrest-stations check FILE\n";

int CannotRead(std::FILE* err, const std::string& path, int error)
{
    std::fprintf(err, "wavecrest-stations: cannot read %s: %s\n", path.c_str(),
                 std::strerror(error ? error : EIO));
    return 2;
}

void WriteRecord(std::FILE* out, const CChannelRecord& record)
{
    std::string line;
    for (int field = 0; field < CChannelRecord::kFieldCount; ++field)
    {
        if (field > 0)
            line += '\t';
        line += EscapeField(record.FieldUtf8(field));
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
}

int Dump(const std::string& path, std::FILE* out, std::FILE* err)
{
    CStationList list = CStationList::EveryChannel();
    errno = 0;
    if (list.ReadFile(path) != StationListReadResult::Read)
        return CannotRead(err, path, errno);
    if (list.RanOutOfMemory())
        std::fprintf(err, "%s\n", kOutOfMemoryText);
    WriteRecord(out, list.m_header);
    for (const CChannelRecord& channel : list.m_channels)
        WriteRecord(out, channel);
    return 0;
}

class CChecker
{
public:
    explicit CChecker(std::FILE* out) : m_out(out) {}

    void Check(const StationListLine& line)
    {
        if (line.problems & StationListLine::kUnpairedSurrogate)
            Report(line, "not valid UTF-16: unpaired surrogate");
        if (line.problems & StationListLine::kOddByte)
            Report(line, "not valid UTF-16: the file ends in half a character (odd byte)");
        if (line.problems & StationListLine::kNulCharacter)
            Report(line, "not valid UTF-16 text: NUL character");

        if (TrimFieldSpace(line.text).empty())
            return;
        const auto commas = std::count(line.text.begin(), line.text.end(), ',');
        if (commas < CChannelRecord::kFieldCount - 1)
            Report(line, "fewer than seven fields (" + std::to_string(commas + 1) + ")");

        bool outOfMemory = false;
        const CChannelRecord record = CChannelRecord::ParseUtf8(line.text, &outOfMemory);
        if (outOfMemory)
            std::fprintf(stderr, "%s\n", kOutOfMemoryText);
        if (!m_headerRead)
        {
            // The header holds column titles; it is the header once its first
            // field is set (a line before it with an empty first field is a
            // header that the next line replaces).
            m_headerRead = !record.FieldUtf8(CChannelRecord::kType).empty();
            return;
        }
        if (record.FieldUtf8(CChannelRecord::kName).empty())
            Report(line, "empty name");
        const std::string address(record.FieldUtf8(CChannelRecord::kUrl));
        if (address.empty())
            Report(line, "empty address");
        else if (!IsNetworkStreamAddress(address))
        {
            const std::string scheme = AddressScheme(address);
            Report(line,
                   "the player will not open this address (" +
                       (scheme.empty() ? std::string("no scheme") : "scheme \"" + scheme + "\"") +
                       "): " + EscapeField(address));
        }
    }

    bool Found() const { return m_found; }

private:
    void Report(const StationListLine& line, const std::string& problem)
    {
        std::fprintf(m_out, "line %ld: %s\n", line.number, problem.c_str());
        m_found = true;
    }

    std::FILE* m_out;
    bool m_headerRead = false;
    bool m_found = false;
};

int Check(const std::string& path, std::FILE* out, std::FILE* err)
{
    CChecker checker(out);
    errno = 0;
    const StationListReadResult result = ReadStationListFile(
        path, [&checker](const StationListLine& line) { checker.Check(line); }, false);
    if (result != StationListReadResult::Read)
        return CannotRead(err, path, errno);
    return checker.Found() ? 1 : 0;
}
} // namespace

std::string EscapeField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (const char c : field)
    {
        switch (c)
        {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

int RunStationsTool(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        std::fputs(kUsage, out);
        return 0;
    }
    if (argc != 3)
    {
        std::fputs(kUsage, err);
        return 2;
    }
    const std::string command = argv[1];
    const std::string path = argv[2];
    if (command == "dump")
        return Dump(path, out, err);
    if (command == "check")
        return Check(path, out, err);
    std::fputs(kUsage, err);
    return 2;
}
