#pragma once
// The channel list of the radio page: a report list that holds the loaded
// channels themselves, the one place they are kept between reloads. It is a
// virtual list: a row is a position in those channels, and its texts are made
// only when the row is drawn, so a hundred thousand rows cost a few bytes
// each and nothing at all to show.
//
// Columns: 0 the serial number, 1 the name, 2 and 3 two descriptive texts,
// 4 the stream address (zero width, so hidden).

#include "catalogue/StationList.h"

#include <wx/listctrl.h>

#include <array>
#include <cstdint>
#include <vector>

class CChannelListCtrl : public wxListCtrl
{
public:
    static constexpr int kColumnCount = 5;
    static constexpr int kNameColumn = 1;
    static constexpr int kAddressColumn = 4;

    CChannelListCtrl() = default;
    CChannelListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize);

    // Removes every row and every column, and lets go of the channels.
    void RemoveRowsAndColumns();
    // Inserts the five columns; `titles` are the titles of columns 1 to 4.
    void SetUpColumns(const std::array<wxString, 4>& titles);
    // Takes the channels over (moved, never copied) and shows as its rows the
    // channels at the given positions, in that order; row n has serial
    // number n + 1.
    void ShowChannels(CChannelArray channels, std::vector<std::uint32_t> rows);

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetSelectedRow() const;
    // Scrolls the row fully into view and makes it the selected and focused row.
    void SelectAndFocus(int row);

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    CChannelArray m_channels;
    std::vector<std::uint32_t> m_rows; // the position in m_channels of each row

    wxDECLARE_DYNAMIC_CLASS(CChannelListCtrl);
};
