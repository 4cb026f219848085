#include "radio/ChannelListCtrl.h"

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
    m_channels.RemoveAll();
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
    m_rows = std::move(rows);
    SetItemCount(static_cast<long>(m_rows.size()));
    Refresh();
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

wxString CChannelListCtrl::OnGetItemText(long item, long column) const
{
    if (item < 0 || item >= static_cast<long>(m_rows.size()))
        return wxString();
    if (column == 0)
        return wxString::Format("%ld", item + 1);
    // The fields of columns 1 to 4.
    static const int kFields[kColumnCount] = {-1, CChannelRecord::kName, CChannelRecord::kField5,
                                              CChannelRecord::kField4, CChannelRecord::kUrl};
    if (column < 1 || column >= kColumnCount)
        return wxString();
    const CChannelRecord& channel =
        m_channels[static_cast<int>(m_rows[static_cast<std::size_t>(item)])];
    const std::string_view text = channel.FieldUtf8(kFields[column]);
    return wxString::FromUTF8(text.data(), text.size());
}
