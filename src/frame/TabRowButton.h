#pragma once
// A small flat button at the right end of the ribbon's tab row: either a
// command button (the About button) or a button that opens a menu (Style).

#include <wx/bitmap.h>
#include <wx/window.h>

#include <memory>

class wxMenu;

class CTabRowButton : public wxWindow
{
public:
    // A command button: a click sends `command` to the main window.
    CTabRowButton(wxWindow* parent, int command, const wxString& caption, const wxBitmap& image);
    // A menu button: a click opens `menu` below the button.
    CTabRowButton(wxWindow* parent, const wxString& caption, std::unique_ptr<wxMenu> menu);
    ~CTabRowButton() override;

    void SetColours(const wxColour& background, const wxColour& text);
    wxMenu* GetMenu() const { return m_pMenu.get(); }

private:
    void Init(const wxString& caption);
    void OnPaint(wxPaintEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnEnterOrLeave(wxMouseEvent& event);

    int m_nCommand = wxID_NONE;
    wxString m_strCaption;
    wxBitmap m_bmpImage;
    std::unique_ptr<wxMenu> m_pMenu;
    wxColour m_clrBackground;
    wxColour m_clrText;
    bool m_bHot = false;

    wxDECLARE_EVENT_TABLE();
};
