#include "directorypage/DirectoryListCtrl.h"

CDirectoryListCtrl::CDirectoryListCtrl(wxWindow* parent, wxWindowID id)
    : wxListCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL)
{
    const struct
    {
        const char* title;
        int width;
        int align;
    } columns[kColumnCount] = {
        {"Name", 220, wxLIST_FORMAT_LEFT},    {"Country", 110, wxLIST_FORMAT_LEFT},
        {"Language", 90, wxLIST_FORMAT_LEFT}, {"Tags", 150, wxLIST_FORMAT_LEFT},
        {"Format", 110, wxLIST_FORMAT_LEFT},  {"Votes", 60, wxLIST_FORMAT_RIGHT},
    };
    for (int i = 0; i < kColumnCount; ++i)
        AppendColumn(columns[i].title, static_cast<wxListColumnFormat>(columns[i].align),
                     FromDIP(columns[i].width));
}

void CDirectoryListCtrl::ShowStations(std::vector<DirectoryStation> stations)
{
    m_stations = std::move(stations);
    // The old selection named another station.
    for (long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        SetItemState(row, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    SetItemCount(static_cast<long>(m_stations.size()));
    Refresh();
}

int CDirectoryListCtrl::GetSelectedRow() const
{
    return static_cast<int>(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

const DirectoryStation* CDirectoryListCtrl::GetSelectedStation() const
{
    const int row = GetSelectedRow();
    if (row < 0 || row >= static_cast<int>(m_stations.size()))
        return nullptr;
    return &m_stations[static_cast<size_t>(row)];
}

void CDirectoryListCtrl::SelectAndFocus(int row)
{
    if (row < 0 || row >= static_cast<int>(m_stations.size()))
        return;
    SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                 wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    EnsureVisible(row);
}

wxString CDirectoryListCtrl::FormatText(const DirectoryStation& station)
{
    wxString text = wxString::FromUTF8(station.codec);
    if (station.bitrate > 0)
        text += (text.empty() ? "" : " ") +
                wxString::Format("%lld kbit/s", static_cast<long long>(station.bitrate));
    return text;
}

wxString CDirectoryListCtrl::OnGetItemText(long item, long column) const
{
    if (item < 0 || item >= static_cast<long>(m_stations.size()))
        return wxString();
    const DirectoryStation& station = m_stations[static_cast<size_t>(item)];
    switch (column)
    {
    case kName:
        return wxString::FromUTF8(station.name);
    case kCountry:
        return wxString::FromUTF8(station.country.empty() ? station.countryCode : station.country);
    case kLanguage:
        return wxString::FromUTF8(station.language);
    case kTags:
        return wxString::FromUTF8(station.tags);
    case kFormat:
        return FormatText(station);
    case kVotes:
        return wxString::Format("%lld", static_cast<long long>(station.votes));
    default:
        return wxString();
    }
}
