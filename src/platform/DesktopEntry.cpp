#include "platform/DesktopEntry.h"

#include <wx/string.h>

#include <cstring>
#include <sstream>

namespace platform
{

namespace
{

// Characters that a session's launcher would take for shell syntax; outside
// quotes they make an Exec line invalid.
const char kReservedOutsideQuotes[] = "\t\n'\\><~|&;$*?#()`";
// Characters that take a backslash inside a quoted argument.
const char kEscapedInQuotes[] = "\"`$\\";

bool IsValidUtf8(const std::string& text)
{
    return text.empty() || !wxString::FromUTF8(text.data(), text.size()).empty();
}

// What a field code stands for when the session starts the entry: no files,
// and nothing for the icon, name and location codes (a field code has no
// place in the program's own path, the only argument that matters here).
std::optional<std::string> ExpandFieldCode(char code)
{
    if (code == '%')
        return std::string("%");
    if (code != '\0' && std::strchr("fFuUdDnNvmick", code))
        return std::string();
    return std::nullopt;
}

// Splits an unescaped Exec line into arguments, one character at a time.
class CExecLineSplitter
{
public:
    explicit CExecLineSplitter(const std::string& line) : m_strLine(line) {}

    std::optional<std::vector<std::string>> Split()
    {
        for (m_nPos = 0; m_nPos < m_strLine.size() && m_bValid; ++m_nPos)
        {
            const char c = m_strLine[m_nPos];
            if (c == '%')
                TakeFieldCode();
            else if (m_bQuoted)
                TakeQuoted(c);
            else
                TakePlain(c);
        }
        if (!m_bValid || m_bQuoted)
            return std::nullopt;
        EndArgument();
        if (m_arguments.empty())
            return std::nullopt;
        return m_arguments;
    }

private:
    void TakeFieldCode()
    {
        const char code = m_nPos + 1 < m_strLine.size() ? m_strLine[++m_nPos] : '\0';
        const std::optional<std::string> expansion = ExpandFieldCode(code);
        if (!expansion)
        {
            m_bValid = false;
            return;
        }
        m_strCurrent += *expansion;
        m_bStarted = true;
        m_bKeep = m_bKeep || !expansion->empty();
    }

    void TakeQuoted(char c)
    {
        if (c == '"')
        {
            // A quote encloses a whole argument: a blank or the end must follow.
            m_bQuoted = false;
            m_bValid = m_nPos + 1 == m_strLine.size() || m_strLine[m_nPos + 1] == ' ';
        }
        else if (c == '\\')
        {
            const char next = m_nPos + 1 < m_strLine.size() ? m_strLine[++m_nPos] : '\0';
            m_bValid = next != '\0' && std::strchr(kEscapedInQuotes, next);
            m_strCurrent += next;
        }
        else
            m_strCurrent += c;
    }

    void TakePlain(char c)
    {
        if (c == ' ')
            EndArgument();
        else if (c == '"')
        {
            m_bValid = !m_bStarted;
            m_bQuoted = m_bStarted = m_bKeep = true;
        }
        else if (std::strchr(kReservedOutsideQuotes, c))
            m_bValid = false;
        else
        {
            m_strCurrent += c;
            m_bStarted = m_bKeep = true;
        }
    }

    // An unquoted argument made only of field codes that gave nothing
    // disappears, as it does when a session starts the entry without files.
    void EndArgument()
    {
        if (m_bKeep)
            m_arguments.push_back(m_strCurrent);
        m_strCurrent.clear();
        m_bStarted = m_bKeep = false;
    }

    const std::string& m_strLine;
    size_t m_nPos = 0;
    std::string m_strCurrent;
    std::vector<std::string> m_arguments;
    bool m_bStarted = false; // the current argument has begun
    bool m_bKeep = false;    // it holds text or was quoted
    bool m_bQuoted = false;
    bool m_bValid = true;
};

std::string TrimLeft(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string TrimRight(const std::string& text)
{
    const auto last = text.find_last_not_of(" \t\r");
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

} // namespace

std::string QuoteExecArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (const char c : argument)
    {
        if (c == '%')
            quoted += '%';
        else if (std::strchr(kEscapedInQuotes, c))
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::optional<std::string> EscapeDesktopString(const std::string& text)
{
    if (!IsValidUtf8(text))
        return std::nullopt;
    std::string escaped;
    for (const char c : text)
    {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\t')
            escaped += "\\t";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == ' ' && escaped.empty())
            escaped += "\\s"; // a leading blank would be lost
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return std::nullopt;
        else
            escaped += c;
    }
    return escaped;
}

std::optional<std::string> UnescapeDesktopString(const std::string& value)
{
    std::string text;
    for (size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] != '\\')
        {
            text += value[i];
            continue;
        }
        const char next = i + 1 < value.size() ? value[++i] : '\0';
        const char* const codes = "snrt\\";
        const char* const meanings = " \n\r\t\\";
        const char* found = next != '\0' ? std::strchr(codes, next) : nullptr;
        if (!found)
            return std::nullopt;
        text += meanings[found - codes];
    }
    return text;
}

std::optional<std::vector<std::string>> SplitExecCommand(const std::string& command)
{
    return CExecLineSplitter(command).Split();
}

std::optional<std::vector<std::string>> ParseExecValue(const std::string& value)
{
    const std::optional<std::string> command = UnescapeDesktopString(value);
    if (!command)
        return std::nullopt;
    return SplitExecCommand(*command);
}

std::optional<std::string> ReadDesktopEntryValue(const std::string& text, const std::string& key)
{
    std::optional<std::string> value;
    std::istringstream lines(text);
    std::string line;
    bool inGroup = false;
    while (std::getline(lines, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = TrimLeft(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[')
        {
            inGroup = TrimRight(line) == kDesktopEntryGroup;
            continue;
        }
        const auto equals = line.find('=');
        // A key given twice: the later one counts, as in the session's reader.
        if (inGroup && equals != std::string::npos && TrimRight(line.substr(0, equals)) == key)
            value = TrimLeft(line.substr(equals + 1));
    }
    return value;
}

} // namespace platform
