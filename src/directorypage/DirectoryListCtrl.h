#pragma once
// The results of a directory search: a virtual report list that holds the
// stations and makes a row's texts only when the row is drawn.
//
// Columns: name, country, language, tags, codec and bitrate, votes.

#include "directory/DirectoryAnswers.h"

#include <wx/listctrl.h>

#include <vector>

class CDirectoryListCtrl : public wxListCtrl
{
public:
    enum Column
    {
        kName,
        kCountry,
        kLanguage,
        kTags,
        kFormat,
        kVotes,
        kColumnCount
    };

    CDirectoryListCtrl(wxWindow* parent, wxWindowID id);

    void ShowStations(std::vector<DirectoryStation> stations);
    const std::vector<DirectoryStation>& GetStations() const { return m_stations; }
    // The selected station, nullptr when none is.
    const DirectoryStation* GetSelectedStation() const;
    int GetSelectedRow() const;
    // Selects the row, gives it the focus and scrolls it into view.
    void SelectAndFocus(int row);

    // "MP3 128 kbit/s"; the codec alone when the bitrate is not known.
    static wxString FormatText(const DirectoryStation& station);

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    std::vector<DirectoryStation> m_stations;
};
