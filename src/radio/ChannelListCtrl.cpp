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
    m_rows.clear();
    m_rows.shrink_to_fit();
    SetItemCount(0);
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

void CChannelListCtrl::AppendRow(ChannelRow row)
{
    m_rows.push_back(std::move(row));
}

void CChannelListCtrl::ShowRows()
{
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
    const ChannelRow& row = m_rows[static_cast<size_t>(item)];
    switch (column)
    {
    case 0:
        return wxString::Format("%ld", item + 1);
    case 1:
        return wxString::FromUTF8(row.name);
    case 2:
        return wxString::FromUTF8(row.field5);
    case 3:
        return wxString::FromUTF8(row.field4);
    case kAddressColumn:
        return wxString::FromUTF8(row.url);
    default:
        return wxString();
    }
}
