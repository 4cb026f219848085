#include "playlists/MyChannels.h"

#include "catalogue/DataFolder.h"
#include "catalogue/StationList.h"
#include "core/StreamAddress.h"
#include "platform/Files.h"
#include "platform/RegularFile.h"
#include "playlists/PlaylistReader.h"

namespace
{
// Room for far more channels than any list holds.
constexpr std::size_t kMaxFileBytes = 256 * 1024 * 1024;
constexpr unsigned kFileMode = 0600;
const char* const kHeaderLine = "Type,Channel,Address,Logo,Group,About,Status";

std::string AddressOf(const CChannelRecord& channel)
{
    return std::string(channel.FieldUtf8(CChannelRecord::kUrl));
}

enum class FieldKind
{
    Text,    // a comma looks alike as U+201A
    Address, // a comma is escaped as in any address
    Stream,  // the stream address: escaped so that reading gives it back
    Last,    // the status, the rest of the line: commas stay
};

// What follows the percent sign of an address's escapes in the file: "2C"
// (either case) for a comma, "25" for a percent sign.
bool StartsWithEscapeTail(std::string_view text)
{
    return text.size() >= 2 && text[0] == '2' &&
           (text[1] == 'C' || text[1] == 'c' || text[1] == '5');
}

void AppendField(std::string& line, std::string_view field, FieldKind kind)
{
    for (std::size_t i = 0; i < field.size(); ++i)
    {
        const char c = field[i];
        if (c == '\r' || c == '\n')
            line += ' ';
        else if (c == ',' && kind == FieldKind::Text)
            line += "\xE2\x80\x9A"; // U+201A SINGLE LOW-9 QUOTATION MARK
        else if (c == ',' && (kind == FieldKind::Address || kind == FieldKind::Stream))
            line += "%2C";
        else if (c == '%' && kind == FieldKind::Stream && StartsWithEscapeTail(field.substr(i + 1)))
            line += "%25"; // it would read as an escape: the sign itself is escaped
        else
            line += c;
    }
}

// An address field of the file as the address it stands for: "%2C" is a
// comma, and "%25" a percent sign where one of these escapes follows it.
std::string ReadAddressField(std::string_view field)
{
    std::string out;
    std::size_t i = 0;
    while (i < field.size())
    {
        const std::string_view rest = field.substr(i);
        const bool escape = rest[0] == '%' && StartsWithEscapeTail(rest.substr(1));
        const bool comma = escape && rest[2] != '5';
        const bool percent = escape && rest[2] == '5' && StartsWithEscapeTail(rest.substr(3));
        if (comma || percent)
        {
            out += comma ? ',' : '%';
            i += 3;
        }
        else
        {
            out += field[i];
            ++i;
        }
    }
    return out;
}

// A record read from the file, its stream address as it is played.
CChannelRecord WithAddressRead(CChannelRecord record)
{
    record.SetField(CChannelRecord::kUrl,
                    wxString::FromUTF8(ReadAddressField(record.FieldUtf8(CChannelRecord::kUrl))));
    return record;
}
} // namespace

std::string CMyChannels::DefaultPath()
{
    return GetDataFolder() + "/MyChannels.txt";
}

CMyChannels::CMyChannels(std::string path)
    : m_path(std::move(path)), m_header(CChannelRecord::ParseUtf8(kHeaderLine))
{
}

bool CMyChannels::Load()
{
    m_channels.clear();
    m_addresses.clear();
    m_header = CChannelRecord::ParseUtf8(kHeaderLine);
    std::string content;
    switch (platform::ReadRegularFile(m_path, kMaxFileBytes, content))
    {
    case platform::FileReadResult::Ok:
        break;
    case platform::FileReadResult::Missing:
        return true;
    case platform::FileReadResult::Refused:
        return false;
    }
    std::string_view text = content;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.remove_prefix(3);
    // The station list's own rules: the first line is the header, blank lines
    // are skipped, and a line that could never be offered is left out.
    CStationList list = CStationList::EveryChannel();
    while (!text.empty())
    {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        list.AddLineUtf8(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    if (!list.m_header.FieldUtf8(CChannelRecord::kType).empty())
        m_header = list.m_header;
    for (const CChannelRecord& channel : list.m_channels)
        Add(WithAddressRead(channel));
    return true;
}

bool CMyChannels::Save() const
{
    std::string bytes = LineOf(m_header) + "\n";
    for (const CChannelRecord& channel : m_channels)
        bytes += LineOf(channel) + "\n";
    return platform::ReplaceFileAtomically(m_path, bytes, kFileMode);
}

bool CMyChannels::CanHold(const CChannelRecord& channel) const
{
    const std::string_view type = channel.FieldUtf8(CChannelRecord::kType);
    return (EqualsNoCase(type, "Radio") || EqualsNoCase(type, "TV")) &&
           IsNetworkStreamAddress(AddressOf(channel));
}

bool CMyChannels::Add(const CChannelRecord& channel)
{
    if (!CanHold(channel) || m_addresses.count(AddressOf(channel)) != 0)
        return false;
    m_channels.push_back(channel);
    m_addresses.insert(AddressOf(channel));
    return true;
}

bool CMyChannels::Remove(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_addresses.erase(AddressOf(m_channels[static_cast<std::size_t>(index)]));
    m_channels.erase(m_channels.begin() + index);
    return true;
}

bool CMyChannels::Replace(int index, const CChannelRecord& channel)
{
    if (index < 0 || index >= GetCount() || !CanHold(channel))
        return false;
    const std::string address = AddressOf(channel);
    const int holder = Find(address);
    if (holder >= 0 && holder != index)
        return false;
    CChannelRecord& place = m_channels[static_cast<std::size_t>(index)];
    m_addresses.erase(AddressOf(place));
    place = channel;
    m_addresses.insert(address);
    return true;
}

int CMyChannels::Find(const std::string& address) const
{
    if (m_addresses.count(address) == 0)
        return -1;
    for (std::size_t i = 0; i < m_channels.size(); ++i)
        if (m_channels[i].FieldUtf8(CChannelRecord::kUrl) == address)
            return static_cast<int>(i);
    return -1;
}

CChannelRecord CMyChannels::MakeChannel(const std::string& name, const std::string& address,
                                        bool tv, const std::string& group, const std::string& logo)
{
    std::string line = tv ? "TV," : "Radio,";
    AppendField(line, name, FieldKind::Text);
    line += ',';
    AppendField(line, address, FieldKind::Address);
    line += ',';
    AppendField(line, logo, FieldKind::Address);
    line += ',';
    AppendField(line, group, FieldKind::Text);
    line += ",,ON";
    // The fields split, the stream address is kept as it is given, commas
    // and all: they are escaped only in the file.
    CChannelRecord channel = CChannelRecord::ParseUtf8(line);
    channel.SetField(CChannelRecord::kUrl,
                     wxString::FromUTF8(std::string(TrimFieldSpace(address))));
    return channel;
}

CChannelRecord CMyChannels::FromPlaylistEntry(const PlaylistEntry& entry)
{
    return MakeChannel(entry.title, entry.address, entry.tv, entry.group);
}

std::string CMyChannels::LineOf(const CChannelRecord& record)
{
    std::string line;
    for (int field = 0; field < CChannelRecord::kFieldCount; ++field)
    {
        if (field > 0)
            line += ',';
        const FieldKind kind = field == CChannelRecord::kStatus ? FieldKind::Last
                               : field == CChannelRecord::kUrl  ? FieldKind::Stream
                                                                : FieldKind::Text;
        AppendField(line, record.FieldUtf8(field), kind);
    }
    return line;
}
