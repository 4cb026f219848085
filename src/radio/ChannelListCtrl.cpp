#include "radio/ChannelListCtrl.h"

#include "catalogue/ChannelRecord.h"
#include "platform/SearchText.h"

#include <algorithm>
#include <cstring>

wxIMPLEMENT_DYNAMIC_CLASS(CChannelListCtrl, wxListCtrl);

namespace
{
const long kListStyle =
    wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxLC_HRULES | wxLC_VRULES | wxBORDER_THEME;

struct ColumnLayout
{
    wxListColumnFormat alignment;
    int width;
};
// Widths in pixels; the address column has none and so stays hidden.
const ColumnLayout kColumns[CChannelListCtrl::kColumnCount] = {{wxLIST_FORMAT_LEFT, 50},
                                                               {wxLIST_FORMAT_LEFT, 150},
                                                               {wxLIST_FORMAT_CENTRE, 300},
                                                               {wxLIST_FORMAT_LEFT, 150},
                                                               {wxLIST_FORMAT_LEFT, 0}};
} // namespace

CChannelListCtrl::CChannelListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                   const wxSize& size)
    : wxListCtrl(parent, id, pos, size, kListStyle)
{
}

void CChannelListCtrl::RemoveRowsAndColumns()
{
    SetItemCount(0);
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_listRows.clear();
    m_listRows.shrink_to_fit();
    m_stationRows.clear();
    m_stationRows.shrink_to_fit();
    m_findKeys.clear();
    m_findKeys.shrink_to_fit();
    m_findKeyEnds.clear();
    m_findKeyEnds.shrink_to_fit();
    m_channels.RemoveAll();
    m_ownRows.clear();
    m_ownChannels.clear();
    for (int column = GetColumnCount() - 1; column >= 0; --column)
        DeleteColumn(column);
}

void CChannelListCtrl::SetUpColumns(const std::array<wxString, 4>& titles)
{
    InsertColumn(0, "Sr No", kColumns[0].alignment, kColumns[0].width);
    for (int column = 1; column < kColumnCount; ++column)
        InsertColumn(column, titles[column - 1], kColumns[column].alignment,
                     kColumns[column].width);
}

void CChannelListCtrl::ShowChannels(CChannelArray channels, std::vector<std::uint32_t> rows)
{
    m_channels = std::move(channels);
    m_stationRows = std::move(rows);
    RebuildListRows();
}

void CChannelListCtrl::ShowOwnChannels(std::vector<CChannelRecord> channels,
                                       std::vector<std::uint32_t> rows)
{
    m_ownChannels = std::move(channels);
    m_ownRows = std::move(rows);
    RebuildListRows();
}

void CChannelListCtrl::SetFindText(const wxString& text)
{
    if (text == m_strFind)
        return;
    m_strFind = text;
    ApplyFindText();
}

const CChannelRecord& CChannelListCtrl::ChannelAt(std::uint32_t position) const
{
    if (position & kOwnBit)
        return m_ownChannels.at(position & ~kOwnBit);
    return m_channels[static_cast<int>(position)];
}

void CChannelListCtrl::BuildFindKeys()
{
    m_findKeys.clear();
    m_findKeyEnds.clear();
    m_findKeyEnds.reserve(m_listRows.size());
    for (const std::uint32_t position : m_listRows)
    {
        const CChannelRecord& channel = ChannelAt(position);
        // The texts of the columns shown, kept apart so that no match spans two.
        for (const int field :
             {CChannelRecord::kName, CChannelRecord::kField5, CChannelRecord::kField4})
        {
            platform::AppendFoldedForSearch(m_findKeys, channel.FieldUtf8(field));
            m_findKeys += '\x01';
        }
        m_findKeys += '\0';
        m_findKeyEnds.push_back(static_cast<std::uint32_t>(m_findKeys.size()));
    }
}

void CChannelListCtrl::RebuildListRows()
{
    m_listRows.clear();
    m_listRows.reserve(m_stationRows.size() + m_ownRows.size());
    m_listRows.insert(m_listRows.end(), m_stationRows.begin(), m_stationRows.end());
    for (const std::uint32_t position : m_ownRows)
        m_listRows.push_back(position | kOwnBit);
    // The texts to find in are made again: on a later turn of the event
    // loop, so that the first keystroke of a find does not wait for them.
    m_findKeys.clear();
    m_findKeyEnds.clear();
    ApplyFindText();
    CallAfter(
        [this]
        {
            if (m_findKeyEnds.size() != m_listRows.size())
                BuildFindKeys();
        });
}

void CChannelListCtrl::ApplyFindText()
{
    // The selection stays with its channel, not with its row number.
    const int selected = GetListIndex(GetSelectedRow());
    m_foldedFind = platform::FoldForSearch(ToUtf8(m_strFind));
    m_rows.clear();
    if (m_foldedFind.empty())
    {
        m_rows.resize(m_listRows.size());
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            m_rows[i] = static_cast<std::uint32_t>(i);
    }
    else
    {
        if (m_findKeyEnds.size() != m_listRows.size())
            BuildFindKeys();
        // One pass through all the texts: each match names its row, and the
        // search goes on after that row's text.
        const std::string_view keys = m_findKeys;
        std::size_t at = 0;
        while ((at = keys.find(m_foldedFind, at)) != std::string_view::npos)
        {
            const auto end = std::upper_bound(m_findKeyEnds.begin(), m_findKeyEnds.end(),
                                              static_cast<std::uint32_t>(at));
            m_rows.push_back(static_cast<std::uint32_t>(end - m_findKeyEnds.begin()));
            at = *end;
        }
    }
    m_bRestoringSelection = true;
    SetItemCount(static_cast<long>(m_rows.size()));
    const int row = GetRowOfListIndex(selected);
    if (row >= 0)
        SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                     wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    else if (GetSelectedRow() >= 0)
        SetItemState(GetSelectedRow(), 0, wxLIST_STATE_SELECTED);
    m_bRestoringSelection = false;
    Refresh();
}

int CChannelListCtrl::GetListIndex(int row) const
{
    if (row < 0 || row >= GetRowCount())
        return -1;
    return static_cast<int>(m_rows[static_cast<std::size_t>(row)]);
}

int CChannelListCtrl::GetRowOfListIndex(int index) const
{
    const auto found =
        std::lower_bound(m_rows.begin(), m_rows.end(), static_cast<std::uint32_t>(index));
    if (index < 0 || found == m_rows.end() || *found != static_cast<std::uint32_t>(index))
        return -1;
    return static_cast<int>(found - m_rows.begin());
}

const CChannelRecord* CChannelListCtrl::GetChannel(int row) const
{
    const int index = GetListIndex(row);
    return index < 0 ? nullptr : &ChannelAt(m_listRows[static_cast<std::size_t>(index)]);
}

int CChannelListCtrl::FindListIndex(std::string_view address, int index) const
{
    const int count = GetListCount();
    const int from = index >= 0 && index < count ? index : 0;
    for (int step = 0; step < count; ++step)
    {
        const int at = (from + step) % count;
        const std::uint32_t position = m_listRows[static_cast<std::size_t>(at)];
        if (ChannelAt(position).FieldUtf8(CChannelRecord::kUrl) == address)
            return at;
    }
    return -1;
}

int CChannelListCtrl::GetOwnChannelIndex(int row) const
{
    const int index = GetListIndex(row);
    if (index < 0)
        return -1;
    const std::uint32_t position = m_listRows[static_cast<std::size_t>(index)];
    return (position & kOwnBit) ? static_cast<int>(position & ~kOwnBit) : -1;
}

int CChannelListCtrl::GetSelectedRow() const
{
    return static_cast<int>(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

void CChannelListCtrl::SelectAndFocus(int row)
{
    EnsureVisible(row);
    SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                 wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

void CChannelListCtrl::SelectAgain(int row)
{
    m_bRestoringSelection = true;
    SelectAndFocus(row);
    m_bRestoringSelection = false;
}

wxString CChannelListCtrl::OnGetItemText(long item, long column) const
{
    const CChannelRecord* channel = GetChannel(static_cast<int>(item));
    if (!channel)
        return wxString();
    // The serial number is the row's in the list without a find text.
    if (column == 0)
        return wxString::Format("%d", GetListIndex(static_cast<int>(item)) + 1);
    // The fields of columns 1 to 4.
    static const int kFields[kColumnCount] = {-1, CChannelRecord::kName, CChannelRecord::kField5,
                                              CChannelRecord::kField4, CChannelRecord::kUrl};
    if (column < 1 || column >= kColumnCount)
        return wxString();
    const std::string_view text = channel->FieldUtf8(kFields[column]);
    return wxString::FromUTF8(text.data(), text.size());
}
