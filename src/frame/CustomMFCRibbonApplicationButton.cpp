#include "frame/CustomMFCRibbonApplicationButton.h"

#include "core/Identifiers.h"
#include "platform/Messages.h"

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/graphics.h>

#include <memory>

// clang-format off
wxBEGIN_EVENT_TABLE(CCustomMFCRibbonApplicationButton, wxWindow)
    EVT_PAINT(CCustomMFCRibbonApplicationButton::OnPaint)
    EVT_LEFT_DOWN(CCustomMFCRibbonApplicationButton::OnLeftDown)
    EVT_LEFT_DCLICK(CCustomMFCRibbonApplicationButton::OnLeftDown)
    EVT_ENTER_WINDOW(CCustomMFCRibbonApplicationButton::OnEnterOrLeave)
    EVT_LEAVE_WINDOW(CCustomMFCRibbonApplicationButton::OnEnterOrLeave)
wxEND_EVENT_TABLE()
// clang-format on

CCustomMFCRibbonApplicationButton::CCustomMFCRibbonApplicationButton(wxWindow* parent,
                                                                     const wxBitmap& image,
                                                                     const wxString& tooltip)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(kSize, kSize), wxBORDER_NONE),
      m_bmpImage(image)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(kSize, kSize));
    SetToolTip(tooltip);
}

void CCustomMFCRibbonApplicationButton::SetRibbonColour(const wxColour& colour)
{
    m_clrRibbon = colour;
    Refresh();
}

void CCustomMFCRibbonApplicationButton::OnPaint(wxPaintEvent& /*event*/)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(
        wxBrush(m_clrRibbon.IsOk() ? m_clrRibbon : GetParent()->GetBackgroundColour()));
    dc.Clear();
    const wxSize size = GetClientSize();
    if (std::unique_ptr<wxGraphicsContext> gc{wxGraphicsContext::Create(dc)})
    {
        // A soft ring that lights up under the mouse, the image in its middle.
        const wxColour ring = m_bHot ? wxColour(255, 214, 110) : wxColour(255, 255, 255, 90);
        gc->SetPen(wxPen(ring, 2));
        gc->SetBrush(wxBrush(wxColour(255, 255, 255, m_bHot ? 110 : 50)));
        gc->DrawEllipse(3, 3, size.x - 6, size.y - 6);
    }
    if (m_bmpImage.IsOk())
        dc.DrawBitmap(m_bmpImage, (size.x - m_bmpImage.GetWidth()) / 2,
                      (size.y - m_bmpImage.GetHeight()) / 2, true);
}

void CCustomMFCRibbonApplicationButton::OnLeftDown(wxMouseEvent& /*event*/)
{
    // No application menu: a press (or a double click) steps to the next look.
    PostNextLook();
}

void CCustomMFCRibbonApplicationButton::OnEnterOrLeave(wxMouseEvent& event)
{
    m_bHot = event.Entering();
    Refresh();
}

void CCustomMFCRibbonApplicationButton::PostNextLook()
{
    if (wxTheApp && wxTheApp->GetTopWindow())
        platform::PostMessage(wxTheApp->GetTopWindow(), wc::WM_NEXT_APPLICATION_LOOK);
}
