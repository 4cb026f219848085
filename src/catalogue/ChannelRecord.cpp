#include "catalogue/ChannelRecord.h"

#include <cstdint>
#include <new>
#include <stdexcept>

namespace
{
void CheckIndex(int index)
{
    if (index < 0 || index >= CChannelRecord::kFieldCount)
        throw std::out_of_range("channel record field " + std::to_string(index));
}
} // namespace

std::string_view TrimFieldSpace(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsFieldSpace(text[begin]))
        ++begin;
    while (end > begin && IsFieldSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool EqualsNoCase(std::string_view text, std::string_view other)
{
    if (text.size() != other.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        char a = text[i];
        char b = other[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c == 0)
        return;
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        c = 0xFFFD;
    if (c < 0x80)
    {
        out += static_cast<char>(c);
    }
    else if (c < 0x800)
    {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string ToUtf8(const wxString& text)
{
    std::string out;
    out.reserve(text.length());
    for (wxString::const_iterator it = text.begin(); it != text.end(); ++it)
        AppendUtf8(out, static_cast<char32_t>((*it).GetValue()));
    return out;
}

CChannelRecord CChannelRecord::Parse(const wxString& line, bool* pOutOfMemory)
{
    std::string utf8;
    try
    {
        utf8 = ToUtf8(line);
    }
    catch (const std::bad_alloc&)
    {
        if (pOutOfMemory)
            *pOutOfMemory = true;
        return CChannelRecord();
    }
    return ParseUtf8(utf8, pOutOfMemory);
}

CChannelRecord CChannelRecord::ParseUtf8(std::string_view line, bool* pOutOfMemory)
{
    CChannelRecord record;
    // Field ends are 32-bit offsets; no real line comes near 4 GiB.
    if (line.size() > UINT32_MAX)
        line = line.substr(0, UINT32_MAX);
    try
    {
        // The fields together are never longer than the line: with room for
        // the whole line, nothing below allocates again.
        record.m_text.reserve(line.size());
    }
    catch (const std::bad_alloc&)
    {
        if (pOutOfMemory)
            *pOutOfMemory = true;
        return record;
    }

    std::size_t start = 0;
    bool rest = true; // false once the line has no text left for further fields
    for (int field = 0; field < kFieldCount; ++field)
    {
        if (rest)
        {
            std::size_t end = line.size();
            if (field < kFieldCount - 1)
            {
                const std::size_t comma = line.find(',', start);
                if (comma != std::string_view::npos)
                    end = comma;
                else
                    rest = false;
            }
            record.m_text += TrimFieldSpace(line.substr(start, end - start));
            start = end + 1;
        }
        record.m_ends[field] = static_cast<std::uint32_t>(record.m_text.size());
    }
    return record;
}

wxString CChannelRecord::GetField(int index) const
{
    const std::string_view text = FieldUtf8(index);
    return wxString::FromUTF8(text.data(), text.size());
}

std::string_view CChannelRecord::FieldUtf8(int index) const
{
    CheckIndex(index);
    const std::uint32_t begin = index == 0 ? 0 : m_ends[index - 1];
    return std::string_view(m_text).substr(begin, m_ends[index] - begin);
}

void CChannelRecord::SetField(int index, const wxString& value)
{
    SetFieldUtf8(index, ToUtf8(value));
}

void CChannelRecord::SetFieldUtf8(int index, std::string_view value)
{
    CheckIndex(index);
    const std::uint32_t begin = index == 0 ? 0 : m_ends[index - 1];
    const std::uint32_t oldLength = m_ends[index] - begin;
    m_text.replace(begin, oldLength, value.data(), value.size());
    const std::uint32_t newLength = static_cast<std::uint32_t>(value.size());
    for (int field = index; field < kFieldCount; ++field)
        m_ends[field] = m_ends[field] - oldLength + newLength;
}
