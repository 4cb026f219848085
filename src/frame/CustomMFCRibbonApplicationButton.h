#pragma once
// The round button left of the ribbon's tabs. A press changes the
// application look instead of opening an application menu.

#include <wx/bitmap.h>
#include <wx/window.h>

class CCustomMFCRibbonApplicationButton : public wxWindow
{
public:
    static constexpr int kSize = 45;

    CCustomMFCRibbonApplicationButton(wxWindow* parent, const wxBitmap& image,
                                      const wxString& tooltip);

    // The colour behind the button, so it sits on the ribbon's own colour.
    void SetRibbonColour(const wxColour& colour);

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnEnterOrLeave(wxMouseEvent& event);
    void PostNextLook();

    wxBitmap m_bmpImage;
    wxColour m_clrRibbon;
    bool m_bHot = false;

    wxDECLARE_EVENT_TABLE();
};
