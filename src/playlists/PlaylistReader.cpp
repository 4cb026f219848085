#include "playlists/PlaylistReader.h"

#include "catalogue/ChannelRecord.h"
#include "core/StreamAddress.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace
{
std::string_view WithoutQueryAndFragment(std::string_view address);

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    char16_t high = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const auto unit =
            static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
        if (high != 0)
        {
            if (unit >= 0xDC00 && unit <= 0xDFFF)
            {
                AppendUtf8(out, 0x10000 + ((char32_t(high) - 0xD800) << 10) + (unit - 0xDC00));
                high = 0;
                continue;
            }
            AppendUtf8(out, 0xFFFD);
            high = 0;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF)
            high = unit;
        else
            AppendUtf8(out, unit); // a lone low surrogate becomes U+FFFD
    }
    if (high != 0)
        AppendUtf8(out, 0xFFFD);
    return out;
}

// Gives the lines of a text one at a time, without their ends (CR LF, LF or
// CR): a file of nothing but line ends costs no memory per line.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool Next(std::string_view& line)
    {
        if (m_start >= m_text.size())
            return false;
        std::size_t end = m_start;
        while (end < m_text.size() && m_text[end] != '\n' && m_text[end] != '\r')
            ++end;
        line = m_text.substr(m_start, end - m_start);
        m_start = end + 1;
        if (end + 1 < m_text.size() && m_text[end] == '\r' && m_text[end + 1] == '\n')
            ++m_start;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_start = 0;
};

// A title or group as shown in one row: control characters become blanks.
std::string OneLine(std::string_view text)
{
    std::string out(TrimFieldSpace(text));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return out;
}

// Takes an entry into the list when the player would play its address and
// the list has room; counts it as left out otherwise.
void AddEntry(Playlist& list, PlaylistEntry entry, const std::string& location)
{
    if (list.entries.size() >= kMaxPlaylistEntries)
    {
        ++list.leftOut;
        return;
    }
    entry.address = ResolvePlaylistAddress(std::string(TrimFieldSpace(entry.address)), location);
    if (!IsNetworkStreamAddress(entry.address))
    {
        ++list.leftOut;
        return;
    }
    entry.title = OneLine(entry.title);
    if (entry.title.empty())
        entry.title = entry.address;
    entry.group = OneLine(entry.group);
    list.entries.push_back(std::move(entry));
}

// ---- M3U -------------------------------------------------------------------

struct ExtInf
{
    std::map<std::string, std::string> attributes; // names in lower case
    std::string title;
};

std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Reads `key="value" key=value ...` up to the first comma outside quotes;
// the rest after that comma is the title. The duration (or anything else)
// before the first attribute is skipped.
ExtInf ParseAttributesAndTitle(std::string_view text, bool skipDuration)
{
    ExtInf result;
    std::size_t i = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    if (skipDuration)
        while (i < text.size() && !isBlank(text[i]) && text[i] != ',')
            ++i;
    while (i < text.size())
    {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i >= text.size())
            break;
        if (text[i] == ',')
        {
            result.title = std::string(TrimFieldSpace(text.substr(i + 1)));
            break;
        }
        const std::size_t keyStart = i;
        while (i < text.size() && !isBlank(text[i]) && text[i] != ',' && text[i] != '=')
            ++i;
        const std::string key = LowerAscii(text.substr(keyStart, i - keyStart));
        if (i >= text.size() || text[i] != '=')
            continue; // a word without a value: skipped
        ++i;
        std::string value;
        if (i < text.size() && (text[i] == '"' || text[i] == '\''))
        {
            const char quote = text[i++];
            const std::size_t end = text.find(quote, i);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end;
            value = std::string(text.substr(i, stop - i));
            i = end == std::string_view::npos ? text.size() : end + 1;
        }
        else
        {
            const std::size_t valueStart = i;
            while (i < text.size() && !isBlank(text[i]) && text[i] != ',')
                ++i;
            value = std::string(text.substr(valueStart, i - valueStart));
        }
        if (!key.empty())
            result.attributes[key] = value;
    }
    return result;
}

std::string Attribute(const ExtInf& info, const char* name)
{
    const auto found = info.attributes.find(name);
    return found == info.attributes.end() ? std::string() : found->second;
}

// IPTV lists mark their channels with tvg-* attributes; a few of them mark
// radio channels among those with radio="true".
bool MarksTv(const ExtInf& info)
{
    const std::string radio = LowerAscii(Attribute(info, "radio"));
    if (radio == "true" || radio == "1")
        return false;
    for (const auto& attribute : info.attributes)
        if (attribute.first.compare(0, 4, "tvg-") == 0)
            return true;
    return false;
}

// An HLS playlist (M3U8 with #EXT-X- tags) lists the pieces of one stream,
// not channels: the playlist's own address is what the player plays.
bool IsHlsPlaylist(std::string_view text)
{
    for (const char* tag : {"#EXT-X-TARGETDURATION", "#EXT-X-STREAM-INF", "#EXT-X-MEDIA-SEQUENCE",
                            "#EXT-X-PLAYLIST-TYPE"})
        if (text.find(tag) != std::string_view::npos)
            return true;
    return false;
}

Playlist ReadHlsPlaylist(std::string_view text, const std::string& location)
{
    Playlist list;
    PlaylistEntry entry;
    entry.address = location;
    // Named by its file name; a picture size among its variants marks TV.
    const std::string_view path = WithoutQueryAndFragment(location);
    entry.title = std::string(path.substr(path.rfind('/') + 1));
    entry.tv = text.find("RESOLUTION=") != std::string_view::npos;
    AddEntry(list, std::move(entry), location);
    return list;
}

Playlist ReadM3UText(std::string_view text, const std::string& location)
{
    if (IsHlsPlaylist(text))
        return ReadHlsPlaylist(text, location);
    Playlist list;
    bool listIsTv = false; // the header names a TV guide
    bool pending = false;
    ExtInf info;
    std::string group;
    std::string_view line;
    for (LineReader lines(text); lines.Next(line);)
    {
        line = TrimFieldSpace(line);
        if (line.empty())
            continue;
        if (line[0] == '#')
        {
            if (StartsWithNoCase(line, "#EXTM3U"))
            {
                const ExtInf header = ParseAttributesAndTitle(line.substr(7), false);
                listIsTv = listIsTv || !Attribute(header, "x-tvg-url").empty() ||
                           !Attribute(header, "url-tvg").empty();
            }
            else if (StartsWithNoCase(line, "#EXTINF:"))
            {
                info = ParseAttributesAndTitle(line.substr(8), true);
                pending = true;
            }
            else if (StartsWithNoCase(line, "#EXTGRP:"))
            {
                group = std::string(TrimFieldSpace(line.substr(8)));
            }
            continue;
        }
        PlaylistEntry entry;
        entry.address = std::string(line);
        if (pending)
        {
            entry.title = info.title.empty() ? Attribute(info, "tvg-name") : info.title;
            entry.group = Attribute(info, "group-title");
            entry.tv = listIsTv || MarksTv(info);
            const std::string radio = LowerAscii(Attribute(info, "radio"));
            if (radio == "true" || radio == "1")
                entry.tv = false;
        }
        else
        {
            entry.tv = listIsTv;
        }
        if (entry.group.empty())
            entry.group = group;
        AddEntry(list, std::move(entry), location);
        pending = false;
        info = ExtInf();
        group.clear();
    }
    return list;
}

// ---- PLS -------------------------------------------------------------------

// The number after a key's name ("File12" gives 12), or false when the rest
// is not a number.
bool KeyNumber(std::string_view key, std::string_view name, std::uint64_t& number)
{
    if (!StartsWithNoCase(key, name) || key.size() == name.size() || key.size() - name.size() > 18)
        return false;
    number = 0;
    for (const char c : key.substr(name.size()))
    {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

Playlist ReadPLSText(std::string_view text, const std::string& location)
{
    struct Item
    {
        std::string file;
        std::string title;
        bool hasFile = false;
    };
    // By number, which need not start at 1 nor go on without gaps; only the
    // lowest numbers are kept when there are too many.
    std::map<std::uint64_t, Item> items;
    std::size_t dropped = 0;
    std::string_view line;
    for (LineReader lines(text); lines.Next(line);)
    {
        line = TrimFieldSpace(line);
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == '[' || line[0] == ';' || equals == std::string_view::npos)
            continue;
        const std::string_view key = TrimFieldSpace(line.substr(0, equals));
        const std::string_view value = TrimFieldSpace(line.substr(equals + 1));
        std::uint64_t number = 0;
        const bool isFile = KeyNumber(key, "File", number);
        if (!isFile && !KeyNumber(key, "Title", number))
            continue;
        if (items.find(number) == items.end() && items.size() >= kMaxPlaylistEntries)
        {
            const auto last = std::prev(items.end());
            if (number > last->first)
            {
                dropped += isFile ? 1 : 0;
                continue;
            }
            dropped += last->second.hasFile ? 1 : 0;
            items.erase(last);
        }
        Item& item = items[number];
        if (isFile)
        {
            item.file = std::string(value);
            item.hasFile = true;
        }
        else
        {
            item.title = std::string(value);
        }
    }
    Playlist list;
    for (auto& [number, item] : items)
    {
        if (!item.hasFile)
            continue;
        PlaylistEntry entry;
        entry.address = std::move(item.file);
        entry.title = std::move(item.title);
        AddEntry(list, std::move(entry), location);
    }
    list.leftOut += dropped;
    return list;
}

// ---- XSPF ------------------------------------------------------------------

// The longest character or entity reference looked for, "&" to ";".
constexpr std::size_t kMaxReferenceLength = 13;

// Replaces the five predefined entities and character references; anything
// else after an ampersand stays as it is (no entities from a DTD).
std::string DecodeXmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size())
    {
        const char c = text[i];
        // A reference is short ("&#x10FFFF;"): the semicolon is looked for
        // only that far, so a text of ampersands is read in one pass.
        const std::size_t semicolon =
            c == '&' ? text.substr(i, kMaxReferenceLength).find(';') : std::string_view::npos;
        if (semicolon == std::string_view::npos)
        {
            out += c;
            ++i;
            continue;
        }
        const std::string_view name = text.substr(i + 1, semicolon - 1);
        bool known = true;
        if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "amp")
            out += '&';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.size() >= 2 && name[0] == '#')
        {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            char32_t value = 0;
            known = !digits.empty();
            for (const char d : digits)
            {
                int digit = -1;
                if (d >= '0' && d <= '9')
                    digit = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    digit = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    digit = d - 'A' + 10;
                if (digit < 0)
                {
                    known = false;
                    break;
                }
                value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
                if (value > 0x10FFFF)
                    value = 0x110000; // stays out of range, without overflowing
            }
            if (known)
                AppendUtf8(out, value);
        }
        else
            known = false;
        if (known)
            i += semicolon + 1;
        else
        {
            out += c;
            ++i;
        }
    }
    return out;
}

// The local part of an element name ("xspf:track" gives "track").
std::string_view LocalName(std::string_view name)
{
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

struct XmlTag
{
    std::string_view name;
    std::map<std::string, std::string> attributes; // local names, values decoded
    bool closing = false;
    bool empty = false; // <name/>
};

// Reads the tag between '<' and '>' (the brackets not included).
XmlTag ParseTag(std::string_view inside)
{
    XmlTag tag;
    if (!inside.empty() && inside[0] == '/')
    {
        tag.closing = true;
        inside.remove_prefix(1);
    }
    if (!inside.empty() && inside.back() == '/')
    {
        tag.empty = true;
        inside.remove_suffix(1);
    }
    std::size_t i = 0;
    while (i < inside.size() && !IsFieldSpace(inside[i]))
        ++i;
    tag.name = LocalName(inside.substr(0, i));
    while (i < inside.size())
    {
        while (i < inside.size() && IsFieldSpace(inside[i]))
            ++i;
        const std::size_t nameStart = i;
        while (i < inside.size() && inside[i] != '=' && !IsFieldSpace(inside[i]))
            ++i;
        const std::string_view name = inside.substr(nameStart, i - nameStart);
        while (i < inside.size() && IsFieldSpace(inside[i]))
            ++i;
        if (i >= inside.size() || inside[i] != '=')
            continue;
        ++i;
        while (i < inside.size() && IsFieldSpace(inside[i]))
            ++i;
        if (i >= inside.size() || (inside[i] != '"' && inside[i] != '\''))
            break;
        const char quote = inside[i++];
        const std::size_t end = inside.find(quote, i);
        if (end == std::string_view::npos)
            break;
        tag.attributes[std::string(LocalName(name))] = DecodeXmlText(inside.substr(i, end - i));
        i = end + 1;
    }
    return tag;
}

// The elements open at a point of the file, innermost last, and how many of
// each name are among them, so that a closing tag that closes nothing costs
// no search.
class OpenElements
{
public:
    std::size_t Depth() const { return m_names.size(); }
    bool InnermostIs(std::string_view name) const
    {
        return !m_names.empty() && m_names.back() == name;
    }

    void Open(std::string_view name)
    {
        m_names.emplace_back(name);
        ++m_counts[m_names.back()];
    }

    // Closes the innermost element of that name and those left open inside
    // it; false when no element of that name is open.
    bool Close(std::string_view name)
    {
        const auto count = m_counts.find(std::string(name));
        if (count == m_counts.end() || count->second == 0)
            return false;
        while (m_names.back() != name)
            Pop();
        Pop();
        return true;
    }

private:
    void Pop()
    {
        --m_counts[m_names.back()];
        m_names.pop_back();
    }

    std::vector<std::string> m_names;
    std::unordered_map<std::string, std::size_t> m_counts;
};

Playlist ReadXSPFText(std::string_view text, const std::string& location)
{
    // Deeper than any playlist goes: the rest of such a file is not read.
    constexpr std::size_t kMaxDepth = 256;
    Playlist list;
    OpenElements open;
    bool inTrack = false;
    std::size_t trackDepth = 0;
    PlaylistEntry entry;
    bool haveLocation = false;
    bool collecting = false; // reading the text of one of the track's children
    std::string childText;
    std::string childName;
    std::string childType;

    const auto endChild = [&]
    {
        const std::string value(TrimFieldSpace(DecodeXmlText(childText)));
        if (childName == "location" && !haveLocation)
        {
            entry.address = value;
            haveLocation = true;
        }
        else if (childName == "title" && entry.title.empty())
            entry.title = value;
        else if ((childName == "meta" || childName == "link") && StartsWithNoCase(value, "video/"))
            entry.tv = true;
        if (StartsWithNoCase(childType, "video/"))
            entry.tv = true;
        collecting = false;
        childText.clear();
    };

    std::size_t i = 0;
    while (i < text.size())
    {
        const std::size_t lt = text.find('<', i);
        const std::size_t textEnd = lt == std::string_view::npos ? text.size() : lt;
        if (collecting)
            childText.append(text.substr(i, textEnd - i));
        if (lt == std::string_view::npos)
            break;
        const std::string_view rest = text.substr(lt);
        std::size_t end = std::string_view::npos;
        if (rest.compare(0, 4, "<!--") == 0)
        {
            end = text.find("-->", lt + 4);
            i = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        if (rest.compare(0, 9, "<![CDATA[") == 0)
        {
            end = text.find("]]>", lt + 9);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end;
            if (collecting)
            {
                // Character data is literal: its ampersands are escaped so
                // that decoding the child's text gives them back.
                for (const char c : text.substr(lt + 9, stop - lt - 9))
                {
                    if (c == '&')
                        childText += "&amp;";
                    else
                        childText += c;
                }
            }
            i = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        if (rest.compare(0, 2, "<?") == 0)
        {
            end = text.find("?>", lt + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
            continue;
        }
        if (rest.compare(0, 2, "<!") == 0)
        {
            // A document type, with or without an internal subset.
            const std::size_t close = text.find('>', lt);
            // The subset's bracket counts only before the declaration's end.
            const std::size_t bracket = text.substr(0, close).find('[', lt);
            if (bracket != std::string_view::npos)
            {
                end = text.find("]>", bracket);
                i = end == std::string_view::npos ? text.size() : end + 2;
            }
            else
                i = close == std::string_view::npos ? text.size() : close + 1;
            continue;
        }
        end = text.find('>', lt);
        if (end == std::string_view::npos)
            break;
        const XmlTag tag = ParseTag(text.substr(lt + 1, end - lt - 1));
        i = end + 1;
        if (tag.name.empty())
            continue;
        if (tag.closing)
        {
            // Elements left open inside it close with it.
            if (!open.Close(tag.name))
                continue; // closes nothing that is open
            if (collecting && open.Depth() <= trackDepth)
                endChild();
            if (inTrack && open.Depth() < trackDepth)
            {
                inTrack = false;
                AddEntry(list, std::move(entry), location);
                entry = PlaylistEntry();
            }
            continue;
        }
        if (open.Depth() >= kMaxDepth)
            break;
        if (!inTrack && tag.name == "track" && open.InnermostIs("trackList"))
        {
            if (!tag.empty)
            {
                inTrack = true;
                trackDepth = open.Depth() + 1;
                haveLocation = false;
                open.Open(tag.name);
            }
            continue;
        }
        if (inTrack && open.Depth() == trackDepth && !collecting)
        {
            childName = std::string(tag.name);
            const auto type = tag.attributes.find("type");
            childType = type == tag.attributes.end() ? std::string() : type->second;
            collecting = true;
            childText.clear();
            if (tag.empty)
            {
                endChild();
                continue;
            }
        }
        if (!tag.empty)
            open.Open(tag.name);
    }
    // A file that ends inside a track still gives the track.
    if (inTrack)
    {
        if (collecting)
            endChild();
        AddEntry(list, std::move(entry), location);
    }
    return list;
}

// A path without its "." and ".." segments, as a relative reference is
// resolved: "/a/b/../c/./d" gives "/a/c/d"; ".." never climbs above the root.
std::string WithoutDotSegments(std::string_view path)
{
    std::vector<std::string_view> segments;
    std::size_t start = 1; // after the leading slash
    while (start <= path.size())
    {
        std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos)
            slash = path.size();
        const std::string_view segment = path.substr(start, slash - start);
        const bool last = slash == path.size();
        if (segment == "..")
        {
            if (!segments.empty())
                segments.pop_back();
            if (last)
                segments.emplace_back(); // "/a/.." names the folder "/"
        }
        else if (segment == ".")
        {
            if (last)
                segments.emplace_back();
        }
        else
            segments.push_back(segment);
        start = slash + 1;
    }
    std::string out;
    for (const std::string_view segment : segments)
    {
        out += '/';
        out += segment;
    }
    return out.empty() ? "/" : out;
}

// An absolute address or path with the dot segments of its path removed.
std::string Normalised(const std::string& address, std::size_t pathStart)
{
    const std::size_t pathEnd = std::min(address.find_first_of("?#", pathStart), address.size());
    const std::string_view path = std::string_view(address).substr(pathStart, pathEnd - pathStart);
    if (path.find("/.") == std::string_view::npos)
        return address;
    return address.substr(0, pathStart) + WithoutDotSegments(path) + address.substr(pathEnd);
}

std::string_view WithoutQueryAndFragment(std::string_view address)
{
    const std::size_t stop = address.find_first_of("?#");
    return stop == std::string_view::npos ? address : address.substr(0, stop);
}

// My channels hold an address once: the first entry with it stays.
void MergeEntriesOfOneAddress(Playlist& list)
{
    std::unordered_set<std::string> seen;
    std::vector<PlaylistEntry> kept;
    kept.reserve(list.entries.size());
    for (PlaylistEntry& entry : list.entries)
    {
        if (seen.insert(entry.address).second)
            kept.push_back(std::move(entry));
        else
            ++list.merged;
    }
    list.entries = std::move(kept);
}
} // namespace

std::string PlaylistTextToUtf8(std::string_view bytes)
{
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.remove_prefix(3);
    else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0)
        return Utf16ToUtf8(bytes.substr(2), false);
    else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0)
        return Utf16ToUtf8(bytes.substr(2), true);
    // Text in another encoding (a list saved on Windows, say) is decoded
    // from the encoding the detector finds; NULs never reach a field.
    const std::string text =
        platform::IsValidUtf8(bytes) ? std::string(bytes) : platform::DecodeToUtf8(bytes);
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != '\0')
            out += c;
    return out;
}

std::string ResolvePlaylistAddress(const std::string& entry, const std::string& location)
{
    if (entry.empty() || !AddressScheme(entry).empty())
        return entry;
    const std::string scheme = AddressScheme(location);
    if (scheme.empty())
    {
        // A local file: its entries are local paths.
        if (entry[0] == '/')
            return Normalised(entry, 0);
        const std::size_t slash = location.rfind('/');
        return slash == std::string::npos ? entry
                                          : Normalised(location.substr(0, slash + 1) + entry, 0);
    }
    if (entry.compare(0, 2, "//") == 0)
        return scheme + ":" + entry;
    const std::string_view path = WithoutQueryAndFragment(location);
    // Where the host ends: the first slash after "scheme://".
    const std::size_t authority =
        path.compare(scheme.size(), 3, "://") == 0 ? scheme.size() + 3 : scheme.size() + 1;
    const std::size_t hostEnd = path.find('/', authority);
    const std::string origin(path.substr(0, hostEnd));
    if (entry[0] == '/')
        return Normalised(origin + entry, origin.size());
    if (hostEnd == std::string_view::npos)
        return Normalised(origin + "/" + entry, origin.size());
    return Normalised(std::string(path.substr(0, path.rfind('/') + 1)) + entry, origin.size());
}

PlaylistFormat DetectPlaylistFormat(std::string_view bytes, std::string_view name)
{
    const std::string text = PlaylistTextToUtf8(bytes.substr(0, 4096));
    const std::string_view start = TrimFieldSpace(text);
    if (StartsWithNoCase(start, "#EXTM3U"))
        return PlaylistFormat::M3U;
    if (StartsWithNoCase(start, "[playlist]"))
        return PlaylistFormat::PLS;
    if ((StartsWithNoCase(start, "<?xml") || StartsWithNoCase(start, "<playlist")) &&
        start.find("playlist") != std::string_view::npos)
        return PlaylistFormat::XSPF;
    const std::string_view file = WithoutQueryAndFragment(name);
    if (EndsWithNoCase(file, ".m3u") || EndsWithNoCase(file, ".m3u8"))
        return PlaylistFormat::M3U;
    if (EndsWithNoCase(file, ".pls"))
        return PlaylistFormat::PLS;
    if (EndsWithNoCase(file, ".xspf"))
        return PlaylistFormat::XSPF;
    return PlaylistFormat::Unknown;
}

Playlist ReadM3U(std::string_view bytes, const std::string& location)
{
    return ReadM3UText(PlaylistTextToUtf8(bytes), location);
}

Playlist ReadPLS(std::string_view bytes, const std::string& location)
{
    return ReadPLSText(PlaylistTextToUtf8(bytes), location);
}

Playlist ReadXSPF(std::string_view bytes, const std::string& location)
{
    return ReadXSPFText(PlaylistTextToUtf8(bytes), location);
}

Playlist ReadPlaylist(std::string_view bytes, const std::string& location)
{
    Playlist list;
    switch (DetectPlaylistFormat(bytes, location))
    {
    case PlaylistFormat::M3U:
        list = ReadM3U(bytes, location);
        break;
    case PlaylistFormat::PLS:
        list = ReadPLS(bytes, location);
        break;
    case PlaylistFormat::XSPF:
        list = ReadXSPF(bytes, location);
        break;
    case PlaylistFormat::Unknown:
        break;
    }
    MergeEntriesOfOneAddress(list);
    return list;
}
