#pragma once
// The program's one top-level window. It holds the pages (one page frame is
// shown at a time, filling the client area) and handles the program's
// private messages addressed to it.

#include "platform/Messages.h"

#include <wx/docview.h>

#include <cstdint>
#include <vector>

class CChildFrame;
class wxBoxSizer;

class CMainFrame : public wxDocParentFrame
{
public:
    // Caption, system menu, sizing border and close box; no minimise or
    // maximise box, whatever style the caller asks for.
    static constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxRESIZE_BORDER | wxCLOSE_BOX;

    explicit CMainFrame(wxDocManager* manager);
    ~CMainFrame() override;

    // Creates the window; false when it could not be created.
    bool LoadFrame(long requestedStyle);

    // The window pages are created in, and their placement in it.
    wxWindow* GetPageArea() const { return m_pPageArea; }
    void AttachPage(CChildFrame* page);
    void DetachPage(CChildFrame* page);
    const std::vector<CChildFrame*>& GetPages() const { return m_pages; }

    // Closes all pages and opens the page of the template with that index;
    // an index outside the templates gives the last template.
    void OpenCategoryPage(int index);

    // Brings the window up from hidden or iconified and activates it.
    void BringToFront();

    // The real close: saves the placement, closes the pages and ends the program.
    void CloseForReal();

private:
    void OnCloseWindow(wxCloseEvent& event);
    void OnOpenCategory(platform::CAppMessageEvent& event);
    void OnOpenTemplatePage(platform::CAppMessageEvent& event);
    void ShowNewestPage();

    wxDocManager* m_pDocManagerRef;
    wxWindow* m_pPageArea = nullptr;
    wxBoxSizer* m_pPageSizer = nullptr;
    std::vector<CChildFrame*> m_pages;

    wxDECLARE_EVENT_TABLE();
};
