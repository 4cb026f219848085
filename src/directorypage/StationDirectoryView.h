#pragma once
// The station-directory page: a search of the open directory of internet
// radio stations by name, country, language and tag, with its results in a
// list. The search box has the focus when the page opens; it opens again as
// it closed (the search, the filters, the results and the selection are kept
// in the directory's session, which lives as long as the program). Enter, or a pause
// of 400 ms in typing, searches; Down moves into the results. Enter or a
// double click on a result plays it through the radio page's player (the
// page opens with it) and counts the play with the directory.
//
// Every request runs on a worker thread; the page only ever waits for
// nothing. When no server of the directory answers, the line at the bottom
// says so and the rest of the program goes on as before.

#include "catalogue/ChannelRecord.h"
#include "directory/DirectoryAnswers.h"
#include "frame/PageView.h"

#include <wx/timer.h>

#include <memory>
#include <string>
#include <vector>

class CDirectoryClient;
class CDirectoryListCtrl;
class CDirectorySession;
struct DirectoryPageState;
class wxCheckBox;
class wxChoice;
class wxKeyEvent;
class wxListEvent;
class wxStaticText;
class wxTextCtrl;
struct StationSearch;

class CStationDirectoryView : public CPageView
{
public:
    // How long typing must pause before the search runs by itself.
    static constexpr int kTypingPauseMs = 400;

    CStationDirectoryView();
    ~CStationDirectoryView() override;

    // The search the controls describe now.
    StationSearch CurrentSearch() const;
    // Runs the search the controls describe.
    void Search();
    // Plays the selected station (nothing without one).
    void PlaySelected();
    // Keeps the selected station in My channels (Ctrl+D, or the ribbon's
    // button); false, and the line at the bottom says why, when it is not added.
    bool AddSelectedToMyChannels();

    // For tests: the controls, what the line at the bottom says, and whether
    // a search or a list is still on its way.
    wxTextCtrl* GetSearchBox() const { return m_pSearchBox; }
    wxChoice* GetCountryChoice() const { return m_pCountry; }
    wxChoice* GetLanguageChoice() const { return m_pLanguage; }
    wxChoice* GetTagChoice() const { return m_pTag; }
    wxChoice* GetOrderChoice() const { return m_pOrder; }
    wxCheckBox* GetShowBrokenBox() const { return m_pShowBroken; }
    CDirectoryListCtrl* GetResults() const { return m_pResults; }
    wxString GetStatusLine() const;
    bool IsSearching() const { return m_bSearching; }
    int ListsOnTheirWay() const { return m_nListsOnTheirWay; }

protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;

private:
    void FetchLists();
    DirectoryPageState StateOfPage() const;
    void ShowState(const DirectoryPageState& state);
    void FillChoice(wxChoice* choice, std::vector<std::string>& codes, const wxString& any,
                    const FacetsAnswer& answer);
    void ShowStatus(const wxString& text);
    void OnSearchText(wxCommandEvent& event);
    void OnSearchEnter(wxCommandEvent& event);
    void OnSearchKeyDown(wxKeyEvent& event);
    void OnTypingPaused(wxTimerEvent& event);
    void OnFilterChanged(wxCommandEvent& event);
    void OnResultActivated(wxListEvent& event);
    void OnPlay(wxCommandEvent& event);
    void OnAddToMyChannels(wxCommandEvent& event);
    void OnPageCharHook(wxKeyEvent& event);
    static CChannelRecord ChannelOf(const DirectoryStation& station);
    bool OnClose(bool deleteWindow) override;

    std::shared_ptr<CDirectorySession> m_pSession;
    std::unique_ptr<CDirectoryClient> m_pClient;
    wxTextCtrl* m_pSearchBox = nullptr;
    wxChoice* m_pCountry = nullptr;
    wxChoice* m_pLanguage = nullptr;
    wxChoice* m_pTag = nullptr;
    wxChoice* m_pOrder = nullptr;
    wxCheckBox* m_pShowBroken = nullptr;
    CDirectoryListCtrl* m_pResults = nullptr;
    wxStaticText* m_pStatus = nullptr;
    // What a search is given for each entry of the filters (entry 0: any).
    std::vector<std::string> m_countryCodes;
    std::vector<std::string> m_languageCodes;
    std::vector<std::string> m_tagCodes;
    wxTimer m_typingTimer;
    bool m_bSearching = false;
    bool m_bSearched = false; // a search was asked for since the page opened
    int m_nListsOnTheirWay = 0;

    wxDECLARE_DYNAMIC_CLASS(CStationDirectoryView);
    wxDECLARE_EVENT_TABLE();
};
