#include "radio/ChannelFinder.h"

#include "platform/SearchText.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace
{
// Texts found and kept at most; typing a long name keeps one per letter.
constexpr std::size_t kMaxFoundKept = 32;
} // namespace

void CChannelFinder::Clear()
{
    m_keys.clear();
    m_keys.shrink_to_fit();
    m_ends.clear();
    m_ends.shrink_to_fit();
    m_found.clear();
    m_allRows.clear();
    m_allRows.shrink_to_fit();
}

void CChannelFinder::Reserve(std::size_t rows, std::size_t bytes)
{
    m_ends.reserve(rows);
    m_keys.reserve(bytes);
}

void CChannelFinder::AddRow(std::initializer_list<std::string_view> texts)
{
    for (const std::string_view text : texts)
    {
        platform::AppendFoldedForSearch(m_keys, text);
        m_keys += '\x01';
    }
    m_keys += '\0';
    m_ends.push_back(static_cast<std::uint32_t>(m_keys.size()));
    // What was found no longer holds every row.
    m_found.clear();
    m_allRows.clear();
}

const CChannelFinder::Rows& CChannelFinder::Find(std::string_view text)
{
    const std::string folded = platform::FoldForSearch(text);
    if (folded.empty())
    {
        if (m_allRows.size() != m_ends.size())
        {
            m_allRows.resize(m_ends.size());
            std::iota(m_allRows.begin(), m_allRows.end(), 0u);
        }
        return m_allRows;
    }
    // A text that this one does not contain says nothing about its rows.
    m_found.erase(std::remove_if(m_found.begin(), m_found.end(),
                                 [&folded](const Found& found)
                                 { return folded.find(found.folded) == std::string::npos; }),
                  m_found.end());
    const Found* narrowest = nullptr;
    for (Found& found : m_found)
    {
        if (found.folded == folded)
        {
            std::swap(found, m_found.back());
            return m_found.back().rows;
        }
        if (!narrowest || found.rows.size() < narrowest->rows.size())
            narrowest = &found;
    }
    // Every row that holds this text holds the texts it contains; but one
    // pass through all the texts is quicker than a search in most of them
    // one by one.
    Rows rows = narrowest && narrowest->rows.size() < m_ends.size() / 4
                    ? FindInRows(folded, narrowest->rows)
                    : FindInAll(folded);
    if (m_found.size() >= kMaxFoundKept)
        m_found.erase(m_found.begin());
    m_found.push_back(Found{folded, std::move(rows)});
    return m_found.back().rows;
}

CChannelFinder::Rows CChannelFinder::FindInAll(const std::string& folded) const
{
    // One pass through all the texts: each match names its row, and the
    // search goes on after that row's texts.
    Rows rows;
    const char* const keys = m_keys.data();
    std::size_t at = 0;
    std::uint32_t row = 0;
    while (at < m_keys.size())
    {
        const void* match = memmem(keys + at, m_keys.size() - at, folded.data(), folded.size());
        if (!match)
            break;
        const auto offset = static_cast<std::size_t>(static_cast<const char*>(match) - keys);
        row = RowAt(offset, row);
        // Only within one row's texts, as a search row by row finds it.
        if (offset + folded.size() > m_ends[row])
        {
            at = offset + 1;
            continue;
        }
        rows.push_back(row);
        at = m_ends[row];
        ++row;
    }
    return rows;
}

CChannelFinder::Rows CChannelFinder::FindInRows(const std::string& folded, const Rows& rows) const
{
    Rows found;
    const char* const keys = m_keys.data();
    for (const std::uint32_t row : rows)
    {
        const std::size_t begin = row == 0 ? 0 : m_ends[row - 1];
        if (memmem(keys + begin, m_ends[row] - begin, folded.data(), folded.size()))
            found.push_back(row);
    }
    return found;
}

std::uint32_t CChannelFinder::RowAt(std::size_t offset, std::uint32_t from) const
{
    // Matches in a common text come row after row: the next few rows are
    // looked at before the rest is halved.
    const std::uint32_t count = static_cast<std::uint32_t>(m_ends.size());
    for (std::uint32_t row = from; row < count && row < from + 8; ++row)
        if (m_ends[row] > offset)
            return row;
    const auto end = std::upper_bound(m_ends.begin() + std::min(from + 8, count), m_ends.end(),
                                      static_cast<std::uint32_t>(offset));
    return static_cast<std::uint32_t>(end - m_ends.begin());
}
