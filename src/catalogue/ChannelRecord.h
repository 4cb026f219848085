#pragma once
// One channel of the station list: the seven text fields of one line of the
// station-list file, in file order: type, name, stream address, field 3
// (carried along, never read), fields 4 and 5 (descriptive texts) and status.
// The header line of the file uses the same record for its column titles.
//
// A station list holds some hundred thousand records, so a record keeps its
// seven fields in one UTF-8 buffer (with the end offset of each field) rather
// than as seven wide strings; the getters hand out wxString copies.

#include <wx/string.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The standard report of a failed allocation, for the message box of the
// program and the error output of the tool.
inline constexpr const char* kOutOfMemoryText = "Out of memory.";

class CChannelRecord
{
public:
    enum Field : int
    {
        kType = 0,
        kName = 1,
        kUrl = 2,
        kField3 = 3,
        kField4 = 4,
        kField5 = 5,
        kStatus = 6,
    };
    static constexpr int kFieldCount = 7;

    // Seven empty fields.
    CChannelRecord() = default;

    // Splits one line of the station-list file: fields 0 to 5 end at the next
    // comma, field 6 is the rest of the line (further commas included), and
    // every field is trimmed of white space at both ends. A line with fewer
    // than six commas fills the fields it has from the left; the others stay
    // empty. When memory runs out, *pOutOfMemory (if given) is set and the
    // record comes back with the fields split so far; the caller reports it.
    static CChannelRecord Parse(const wxString& line, bool* pOutOfMemory = nullptr);
    // The same for a line already in valid UTF-8 (the form the file reader makes).
    static CChannelRecord ParseUtf8(std::string_view line, bool* pOutOfMemory = nullptr);

    wxString GetType() const { return GetField(kType); }
    wxString GetName() const { return GetField(kName); }
    wxString GetUrl() const { return GetField(kUrl); }
    wxString GetField4() const { return GetField(kField4); }
    wxString GetField5() const { return GetField(kField5); }
    wxString GetStatus() const { return GetField(kStatus); }

    // Any field by its number (0 to 6) as a copy, or in UTF-8 without a copy
    // (valid until the record changes). Another number throws std::out_of_range.
    wxString GetField(int index) const;
    std::string_view FieldUtf8(int index) const;

    // Replaces one field; the text is taken as it is (no trimming).
    void SetField(int index, const wxString& value);

    bool operator==(const CChannelRecord& other) const
    {
        return m_text == other.m_text && m_ends == other.m_ends;
    }
    bool operator!=(const CChannelRecord& other) const { return !(*this == other); }

private:
    void SetFieldUtf8(int index, std::string_view value);

    std::string m_text;                              // the seven fields, one after the other
    std::array<std::uint32_t, kFieldCount> m_ends{}; // where each field ends in m_text
};

// True for the white space trimmed from fields: space, TAB, LF, VT, FF and CR.
inline bool IsFieldSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The text without white space at either end.
std::string_view TrimFieldSpace(std::string_view text);

// True when both are equal, ASCII letters compared without regard to case.
bool EqualsNoCase(std::string_view text, std::string_view other);

// Appends one character in UTF-8. NUL is left out, and a code point that is
// not a character (a surrogate, or above U+10FFFF) becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t character);
// A wide string in UTF-8 by the same rule.
std::string ToUtf8(const wxString& text);
