#include "platform/SearchText.h"

#include <glib.h>

namespace platform
{

void AppendFoldedForSearch(std::string& out, std::string_view utf8)
{
    // Plain ASCII, by far the most text, needs no tables.
    bool ascii = true;
    for (const char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80)
        {
            ascii = false;
            break;
        }
    if (ascii)
    {
        for (const char c : utf8)
            out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return;
    }
    if (!g_utf8_validate(utf8.data(), static_cast<gssize>(utf8.size()), nullptr))
    {
        out.append(utf8);
        return;
    }
    // Decomposed, the accents are marks of their own, which are dropped;
    // what is left is folded by the Unicode case rules.
    gchar* decomposed =
        g_utf8_normalize(utf8.data(), static_cast<gssize>(utf8.size()), G_NORMALIZE_NFKD);
    if (!decomposed)
    {
        out.append(utf8);
        return;
    }
    gchar* folded = g_utf8_casefold(decomposed, -1);
    g_free(decomposed);
    for (const gchar* p = folded; *p; p = g_utf8_next_char(p))
    {
        const gunichar c = g_utf8_get_char(p);
        if (g_unichar_ismark(c))
            continue;
        out.append(p, static_cast<std::size_t>(g_utf8_next_char(p) - p));
    }
    g_free(folded);
}

std::string FoldForSearch(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    AppendFoldedForSearch(out, utf8);
    return out;
}

} // namespace platform
