#include "platform/SearchText.h"

#include <glib.h>

#include <array>
#include <memory>

namespace
{
// The folded form of one character: decomposed, its accents (marks of their
// own then) dropped, and the rest folded by the Unicode case rules.
std::string FoldCharacter(gunichar c)
{
    gchar encoded[8] = {};
    const gint length = g_unichar_to_utf8(c, encoded);
    std::string out;
    gchar* decomposed = g_utf8_normalize(encoded, length, G_NORMALIZE_NFKD);
    if (!decomposed)
        return std::string(encoded, static_cast<std::size_t>(length));
    gchar* folded = g_utf8_casefold(decomposed, -1);
    g_free(decomposed);
    for (const gchar* p = folded; *p; p = g_utf8_next_char(p))
        if (!g_unichar_ismark(g_utf8_get_char(p)))
            out.append(p, static_cast<std::size_t>(g_utf8_next_char(p) - p));
    g_free(folded);
    return out;
}

// Folding a hundred thousand names must take milliseconds: the characters of
// the basic plane are folded once each, when first met, and remembered.
class CFoldTable
{
public:
    const std::string& Get(gunichar c)
    {
        std::unique_ptr<Block>& block = m_blocks[c >> 8];
        if (!block)
            block = std::make_unique<Block>();
        Entry& entry = (*block)[c & 0xFF];
        if (!entry.known)
        {
            entry.folded = FoldCharacter(c);
            entry.known = true;
        }
        return entry.folded;
    }

private:
    struct Entry
    {
        bool known = false;
        std::string folded;
    };
    using Block = std::array<Entry, 256>;
    std::array<std::unique_ptr<Block>, 256> m_blocks;
};
} // namespace

namespace platform
{

void AppendFoldedForSearch(std::string& out, std::string_view utf8)
{
    if (!g_utf8_validate(utf8.data(), static_cast<gssize>(utf8.size()), nullptr))
    {
        out.append(utf8);
        return;
    }
    static CFoldTable table;
    const char* p = utf8.data();
    const char* const end = p + utf8.size();
    while (p < end)
    {
        const char c = *p;
        if (static_cast<unsigned char>(c) < 0x80)
        {
            out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            ++p;
            continue;
        }
        const gunichar character = g_utf8_get_char(p);
        const char* next = g_utf8_next_char(p);
        if (character < 0x10000)
            out += table.Get(character);
        else
            out += FoldCharacter(character);
        p = next;
    }
}

std::string FoldForSearch(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    AppendFoldedForSearch(out, utf8);
    return out;
}

} // namespace platform
