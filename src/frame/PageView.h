#pragma once
// The base of the four page views. Creating the view creates its page frame
// in the main frame's client area; closing it removes the page.

#include <wx/docview.h>

class CChildFrame;
class CMainFrame;

class CPageView : public wxView
{
public:
    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;

    CChildFrame* GetChildFrame() const { return m_pChildFrame; }
    // Form pages have a size of their own that the main window is fitted to.
    virtual bool IsFormPage() const { return false; }

protected:
    // Builds the page's own windows inside its frame.
    virtual void CreateContent(CChildFrame* frame) = 0;
    // Runs once the page is on screen, like a form's initial update.
    virtual void OnInitialUpdate() {}

    CMainFrame* GetMainFrame() const;

private:
    CChildFrame* m_pChildFrame = nullptr;
};
