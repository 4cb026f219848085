#include "frame/ChildFrame.h"

#include <wx/docview.h>

CChildFrame::CChildFrame(wxWindow* parent, wxView* view)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER),
      m_pView(view)
{
}

bool CChildFrame::TryBefore(wxEvent& event)
{
    if (wxPanel::TryBefore(event))
        return true;
    return m_pView && event.IsCommandEvent() && m_pView->ProcessEventLocally(event);
}
