#include "frame/TabRowButton.h"

#include "platform/Messages.h"

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/menu.h>

// clang-format off
wxBEGIN_EVENT_TABLE(CTabRowButton, wxWindow)
    EVT_PAINT(CTabRowButton::OnPaint)
    EVT_LEFT_UP(CTabRowButton::OnLeftUp)
    EVT_ENTER_WINDOW(CTabRowButton::OnEnterOrLeave)
    EVT_LEAVE_WINDOW(CTabRowButton::OnEnterOrLeave)
wxEND_EVENT_TABLE()
// clang-format on

namespace
{
constexpr int kPadding = 6;
constexpr int kArrowWidth = 8;
} // namespace

CTabRowButton::CTabRowButton(wxWindow* parent, int command, const wxString& caption,
                             const wxBitmap& image)
    : wxWindow(parent, wxID_ANY), m_nCommand(command), m_bmpImage(image)
{
    Init(caption);
}

CTabRowButton::CTabRowButton(wxWindow* parent, const wxString& caption,
                             std::unique_ptr<wxMenu> menu)
    : wxWindow(parent, wxID_ANY), m_pMenu(std::move(menu))
{
    Init(caption);
}

CTabRowButton::~CTabRowButton() = default;

void CTabRowButton::Init(const wxString& caption)
{
    m_strCaption = caption;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    int width = 2 * kPadding;
    if (m_bmpImage.IsOk())
        width += m_bmpImage.GetWidth();
    if (!m_strCaption.empty())
        width += GetTextExtent(m_strCaption).x + (m_bmpImage.IsOk() ? kPadding : 0);
    if (m_pMenu)
        width += kArrowWidth + kPadding / 2;
    SetSize(wxSize(width, 22));
    SetMinSize(GetSize());
}

void CTabRowButton::SetColours(const wxColour& background, const wxColour& text)
{
    m_clrBackground = background;
    m_clrText = text;
    Refresh();
}

void CTabRowButton::OnPaint(wxPaintEvent& /*event*/)
{
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetBackground(wxBrush(m_clrBackground.IsOk() ? m_clrBackground : GetBackgroundColour()));
    dc.Clear();
    if (m_bHot)
    {
        dc.SetPen(wxPen(wxColour(230, 180, 70)));
        dc.SetBrush(wxBrush(wxColour(255, 232, 166)));
        dc.DrawRoundedRectangle(0, 0, size.x, size.y, 3);
    }
    int x = kPadding;
    if (m_bmpImage.IsOk())
    {
        dc.DrawBitmap(m_bmpImage, x, (size.y - m_bmpImage.GetHeight()) / 2, true);
        x += m_bmpImage.GetWidth() + kPadding;
    }
    const wxColour text = m_bHot ? *wxBLACK : (m_clrText.IsOk() ? m_clrText : *wxBLACK);
    if (!m_strCaption.empty())
    {
        dc.SetTextForeground(text);
        const wxSize extent = dc.GetTextExtent(m_strCaption);
        dc.DrawText(m_strCaption, x, (size.y - extent.y) / 2);
        x += extent.x + kPadding / 2;
    }
    if (m_pMenu)
    {
        const int middle = size.y / 2;
        const wxPoint arrow[] = {wxPoint(x, middle - 2), wxPoint(x + kArrowWidth, middle - 2),
                                 wxPoint(x + kArrowWidth / 2, middle + 2)};
        dc.SetPen(wxPen(text));
        dc.SetBrush(wxBrush(text));
        dc.DrawPolygon(3, arrow);
    }
}

void CTabRowButton::OnLeftUp(wxMouseEvent& /*event*/)
{
    wxWindow* mainWindow = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    if (m_pMenu)
    {
        PopupMenu(m_pMenu.get(), 0, GetClientSize().y);
        return;
    }
    if (mainWindow)
        platform::SendCommand(mainWindow, m_nCommand);
}

void CTabRowButton::OnEnterOrLeave(wxMouseEvent& event)
{
    m_bHot = event.Entering();
    Refresh();
}
