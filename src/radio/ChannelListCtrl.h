#pragma once
// The channel list of the radio page: a report list that holds the loaded
// channels themselves, the one place they are kept between reloads. It is a
// virtual list: a row is a position in those channels, and its texts are made
// only when the row is drawn, so a hundred thousand rows cost a few bytes
// each and nothing at all to show.
//
// The person's own channels (My channels) follow the station list's rows.
// A find text shows only the rows whose name or descriptive texts contain it
// (without regard to case or accents); a row's serial number and its "list
// index" stay those it has in the list without a find text.
//
// Columns: 0 the serial number, 1 the name, 2 and 3 two descriptive texts,
// 4 the stream address (zero width, so hidden).

#include "catalogue/StationList.h"
#include "radio/ChannelFinder.h"

#include <wx/listctrl.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
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
    ~CChannelListCtrl() override;

    // Removes every row and every column, and lets go of the channels.
    void RemoveRowsAndColumns();
    // Inserts the five columns; `titles` are the titles of columns 1 to 4.
    void SetUpColumns(const std::array<wxString, 4>& titles);
    // Takes the channels over (moved, never copied) and shows as its rows the
    // channels at the given positions, in that order; row n has serial
    // number n + 1.
    void ShowChannels(CChannelArray channels, std::vector<std::uint32_t> rows);
    // Takes the person's own channels over and shows those at the given
    // positions after the station list's rows.
    void ShowOwnChannels(std::vector<CChannelRecord> channels, std::vector<std::uint32_t> rows);

    // Shows only the rows that contain the text (all of them for "").
    void SetFindText(const wxString& text);
    const wxString& GetFindText() const { return m_strFind; }

    // The rows shown now.
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    // The rows of the list without a find text, and a shown row's place
    // among them (-1 for no row); the shown row of such an index (-1 while
    // the find text hides it).
    int GetListCount() const { return static_cast<int>(m_listRows.size()); }
    int GetListIndex(int row) const;
    int GetRowOfListIndex(int index) const;
    // The channel of a shown row (nullptr for no row), and its place among
    // the own channels (-1 for a station-list row).
    const CChannelRecord* GetChannel(int row) const;
    int GetOwnChannelIndex(int row) const;
    // The first index of the list without a find text whose channel has
    // that address (UTF-8), searching from `index` on and then from the
    // start; -1 when none has.
    int FindListIndex(std::string_view address, int index = 0) const;

    int GetSelectedRow() const;
    // True while the list selects again the row of the channel that was
    // selected before its rows changed: no one chose it anew.
    bool IsRestoringSelection() const { return m_bRestoringSelection; }
    // Scrolls the row fully into view and makes it the selected and focused row.
    void SelectAndFocus(int row);
    // The same for the row of the channel chosen before its rows changed:
    // IsRestoringSelection() is true meanwhile.
    void SelectAgain(int row);

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    class CRowsPaintHook;
    // A list row's position with this bit set is one in m_ownChannels.
    static constexpr std::uint32_t kOwnBit = 0x80000000u;
    const CChannelRecord& ChannelAt(std::uint32_t position) const;
    void RebuildListRows();
    // Shows the rows of the find text; `listChanged` when the list's rows
    // themselves changed, not only the text.
    void ApplyFindText(bool listChanged);
    // Repaints the shown rows that differ from those before (as many).
    void RefreshChangedRows(const std::vector<std::uint32_t>& before);
    void BuildFindKeys();
    void HookRowsPaint();

    CChannelArray m_channels;
    std::vector<CChannelRecord> m_ownChannels;
    std::vector<std::uint32_t> m_stationRows; // positions in m_channels
    std::vector<std::uint32_t> m_ownRows;     // positions in m_ownChannels
    std::vector<std::uint32_t> m_listRows;    // the rows without a find text: positions
    std::vector<std::uint32_t> m_rows;        // the rows shown: indexes into m_listRows
    wxString m_strFind;
    bool m_bRestoringSelection = false;
    // The texts of every list row, made at the first find (or soon after
    // the rows change).
    CChannelFinder m_finder;
    // While the rows window paints (it leaves the hidden column out).
    bool m_bPaintingRows = false;
    wxWindow* m_pHookedRowsWindow = nullptr;
    CRowsPaintHook* m_pRowsPaintHook = nullptr;

    wxDECLARE_DYNAMIC_CLASS(CChannelListCtrl);
};
