#pragma once
// The channel list of the radio page: a report list whose rows live in the
// control itself, the one place the loaded channels are kept between reloads.
// It is a virtual list, so a hundred thousand rows cost a little memory each
// and nothing at all to show.
//
// Columns: 0 the serial number, 1 the name, 2 and 3 two descriptive texts,
// 4 the stream address (zero width, so hidden).

#include <wx/listctrl.h>

#include <array>
#include <string>
#include <vector>

struct ChannelRow
{
    // Texts of columns 1 to 4, kept as UTF-8.
    std::string name;
    std::string field5;
    std::string field4;
    std::string url;
};

class CChannelListCtrl : public wxListCtrl
{
public:
    static constexpr int kColumnCount = 5;
    static constexpr int kNameColumn = 1;
    static constexpr int kAddressColumn = 4;

    CChannelListCtrl() = default;
    CChannelListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize);

    // Removes every row and every column.
    void RemoveRowsAndColumns();
    // Inserts the five columns; `titles` are the titles of columns 1 to 4.
    void SetUpColumns(const std::array<wxString, 4>& titles);
    // Appends a row; its serial number is the number of rows before it + 1.
    void AppendRow(ChannelRow row);
    // Shows the rows appended since the last call.
    void ShowRows();

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetSelectedRow() const;
    // Scrolls the row fully into view and makes it the selected and focused row.
    void SelectAndFocus(int row);

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    std::vector<ChannelRow> m_rows;

    wxDECLARE_DYNAMIC_CLASS(CChannelListCtrl);
};
