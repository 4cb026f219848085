#pragma once
// Finding as the person types in the channel list, without a window: which
// rows hold a text, without regard to case or accents.
//
// Each row's texts are folded once, when the rows are told, and kept one
// after the other in one block, so that a search through a hundred thousand
// rows is one pass through memory. A keystroke seldom needs even that: a text
// that contains an earlier one (the person typed on) is only looked for in
// that text's rows, and a text found before (the person took letters back)
// is not looked for again. The rows found are always those a search through
// all the rows would find, in the same order.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class CChannelFinder
{
public:
    using Rows = std::vector<std::uint32_t>;

    // Forgets every row and every text found.
    void Clear();
    void Reserve(std::size_t rows, std::size_t bytes);
    // Adds the next row (numbered from 0) with its UTF-8 texts; a match
    // never spans two of them.
    void AddRow(std::initializer_list<std::string_view> texts);
    std::size_t GetRowCount() const { return m_ends.size(); }

    // The rows, in ascending order, whose texts contain the UTF-8 text
    // without regard to case or accents; every row for a text that folds to
    // nothing.
    const Rows& Find(std::string_view text);

private:
    struct Found
    {
        std::string folded;
        Rows rows;
    };
    Rows FindInAll(const std::string& folded) const;
    Rows FindInRows(const std::string& folded, const Rows& rows) const;
    // The first row from `from` on whose texts end after the offset.
    std::uint32_t RowAt(std::size_t offset, std::uint32_t from) const;

    // The folded texts of every row, each text ended by \x01 and each row by
    // NUL, and where each row's texts end.
    std::string m_keys;
    std::vector<std::uint32_t> m_ends;
    // The rows of recent texts, each folded text contained in the last one
    // (the last of them); every row for the empty text.
    std::vector<Found> m_found;
    Rows m_allRows;
};
