#include "radio/ChannelListCtrl.h"

#include "catalogue/ChannelRecord.h"
#include "platform/SearchText.h"

#include <algorithm>

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

// Tells the list while its rows window paints. The list draws a text too
// wide for its column by measuring it again character by character, so the
// hidden column (no width at all) would cost more to draw than all the
// others together: while the rows are painted it has no text.
class CChannelListCtrl::CRowsPaintHook : public wxEvtHandler
{
public:
    explicit CRowsPaintHook(bool& painting) : m_painting(painting) {}

    bool ProcessEvent(wxEvent& event) override
    {
        if (event.GetEventType() != wxEVT_PAINT)
            return wxEvtHandler::ProcessEvent(event);
        m_painting = true;
        const bool processed = wxEvtHandler::ProcessEvent(event); // the window's own paint
        m_painting = false;
        return processed;
    }

private:
    bool& m_painting;
};

CChannelListCtrl::~CChannelListCtrl()
{
    if (m_pHookedRowsWindow && m_pHookedRowsWindow->GetEventHandler() == m_pRowsPaintHook)
        m_pHookedRowsWindow->PopEventHandler(true);
}

void CChannelListCtrl::HookRowsPaint()
{
    // The rows window is the one the list scrolls.
    wxWindow* rows = GetTargetWindow();
    if (m_pHookedRowsWindow || !rows || rows == this)
        return;
    m_pRowsPaintHook = new CRowsPaintHook(m_bPaintingRows);
    rows->PushEventHandler(m_pRowsPaintHook);
    m_pHookedRowsWindow = rows;
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
    m_finder.Clear();
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
    ApplyFindText(false);
}

const CChannelRecord& CChannelListCtrl::ChannelAt(std::uint32_t position) const
{
    if (position & kOwnBit)
        return m_ownChannels.at(position & ~kOwnBit);
    return m_channels[static_cast<int>(position)];
}

void CChannelListCtrl::BuildFindKeys()
{
    m_finder.Clear();
    m_finder.Reserve(m_listRows.size(), m_listRows.size() * 64);
    for (const std::uint32_t position : m_listRows)
    {
        const CChannelRecord& channel = ChannelAt(position);
        // The texts of the columns shown.
        m_finder.AddRow({channel.FieldUtf8(CChannelRecord::kName),
                         channel.FieldUtf8(CChannelRecord::kField5),
                         channel.FieldUtf8(CChannelRecord::kField4)});
    }
}

void CChannelListCtrl::RebuildListRows()
{
    HookRowsPaint();
    m_listRows.clear();
    m_listRows.reserve(m_stationRows.size() + m_ownRows.size());
    m_listRows.insert(m_listRows.end(), m_stationRows.begin(), m_stationRows.end());
    for (const std::uint32_t position : m_ownRows)
        m_listRows.push_back(position | kOwnBit);
    // The texts to find in are made again: on a later turn of the event
    // loop, so that the first keystroke of a find does not wait for them.
    m_finder.Clear();
    ApplyFindText(true);
    CallAfter(
        [this]
        {
            if (m_finder.GetRowCount() != m_listRows.size())
                BuildFindKeys();
        });
}

void CChannelListCtrl::ApplyFindText(bool listChanged)
{
    // The selection stays with its channel, not with its row number.
    const int selected = GetListIndex(GetSelectedRow());
    std::vector<std::uint32_t> before = std::move(m_rows);
    const std::string text = ToUtf8(m_strFind);
    if (platform::FoldForSearch(text).empty())
    {
        m_rows.resize(m_listRows.size());
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            m_rows[i] = static_cast<std::uint32_t>(i);
    }
    else
    {
        if (m_finder.GetRowCount() != m_listRows.size())
            BuildFindKeys();
        m_rows = m_finder.Find(text);
    }
    const bool countChanged = m_rows.size() != before.size();
    m_bRestoringSelection = true;
    // A count that stays asks the list for nothing: it would lay out and
    // repaint all its rows for it.
    if (listChanged || countChanged)
        SetItemCount(static_cast<long>(m_rows.size()));
    const int row = GetRowOfListIndex(selected);
    if (row >= 0)
        SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                     wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    else if (GetSelectedRow() >= 0)
        SetItemState(GetSelectedRow(), 0, wxLIST_STATE_SELECTED);
    m_bRestoringSelection = false;
    if (listChanged)
        Refresh();
    else if (countChanged)
        GetTargetWindow()->Refresh(); // the rows, not the column titles
    else
        RefreshChangedRows(before);
}

void CChannelListCtrl::RefreshChangedRows(const std::vector<std::uint32_t>& before)
{
    const auto first = std::mismatch(m_rows.begin(), m_rows.end(), before.begin()).first;
    if (first == m_rows.end())
        return; // the same rows: nothing to draw again
    const auto last = std::mismatch(m_rows.rbegin(), m_rows.rend(), before.rbegin()).first;
    // Only those of them in view are drawn again.
    RefreshItems(static_cast<long>(first - m_rows.begin()),
                 static_cast<long>(m_rows.rend() - last) - 1);
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
    // Without a selection the list would look through all its rows for one.
    if (GetSelectedItemCount() == 0)
        return -1;
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
    if (column < 1 || column >= kColumnCount || (column == kAddressColumn && m_bPaintingRows))
        return wxString();
    const std::string_view text = channel->FieldUtf8(kFields[column]);
    return wxString::FromUTF8(text.data(), text.size());
}
