#pragma once
// The frame of one page: a panel that fills the main frame's client area.
// Events that start inside the page reach the page's view first, as they
// would in a document child frame.

#include <wx/panel.h>

class wxView;

class CChildFrame : public wxPanel
{
public:
    CChildFrame(wxWindow* parent, wxView* view);

    wxView* GetView() const { return m_pView; }
    void SetView(wxView* view) { m_pView = view; }

protected:
    bool TryBefore(wxEvent& event) override;

private:
    wxView* m_pView;
};
