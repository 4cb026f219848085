#include "radio/HotKeyCtrl.h"

#include "platform/HotKeys.h"

#include <wx/caret.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/xrc/xmlres.h>

namespace
{
constexpr int kMargin = 3;
// The widest text the control is sized for.
const char kWidestText[] = "Ctrl + Shift + Alt + Page Down";

unsigned HeldControlFlags(const wxKeyEvent& event)
{
    unsigned flags = 0;
    if (event.ControlDown())
        flags |= HOTKEYF_CONTROL;
    if (event.ShiftDown())
        flags |= HOTKEYF_SHIFT;
    if (event.AltDown())
        flags |= HOTKEYF_ALT;
    return flags;
}

class CHotKeyCtrlXmlHandler : public wxXmlResourceHandler
{
public:
    CHotKeyCtrlXmlHandler() { AddWindowStyles(); }

    wxObject* DoCreateResource() override
    {
        XRC_MAKE_INSTANCE(control, CHotKeyCtrl)
        control->Create(m_parentAsWindow, GetID(), GetPosition(), GetSize(), GetStyle(), GetName());
        SetupWindow(control);
        return control;
    }

    bool CanHandle(wxXmlNode* node) override { return IsOfClass(node, "CHotKeyCtrl"); }
};
} // namespace

wxString HotKeyText(unsigned key, unsigned controlFlags)
{
    wxString text;
    if (controlFlags & HOTKEYF_CONTROL)
        text += "Ctrl + ";
    if (controlFlags & HOTKEYF_SHIFT)
        text += "Shift + ";
    if (controlFlags & HOTKEYF_ALT)
        text += "Alt + ";
    if (key == 0)
        return text.empty() ? wxString("None") : text;
    return text + wxString::FromUTF8(platform::VirtualKeyName(key));
}

wxIMPLEMENT_DYNAMIC_CLASS(CHotKeyCtrl, wxControl);

CHotKeyCtrl::CHotKeyCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                         long style, const wxString& name)
{
    Create(parent, id, pos, size, style, name);
}

bool CHotKeyCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                         long style, const wxString& name)
{
    if ((style & wxBORDER_MASK) == 0)
        style |= wxBORDER_SUNKEN;
    // Every key is the control's own while it has the focus, Tab and Enter too.
    style |= wxWANTS_CHARS;
    if (!wxControl::Create(parent, id, pos, size, style, wxDefaultValidator, name))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    SetCaret(new wxCaret(this, 1, GetCharHeight())); // shown only while focused
    SetInitialSize(size);
    ShowCurrentText();
    return true;
}

void CHotKeyCtrl::SetHotKey(std::uint16_t virtualKey, std::uint16_t controlFlags)
{
    m_nKey = static_cast<std::uint8_t>(virtualKey & 0xFF);
    m_nFlags = static_cast<std::uint8_t>(controlFlags & 0xFF);
    m_nHeldFlags = 0;
    m_bKeyTaken = false;
    ShowCurrentText();
}

void CHotKeyCtrl::SetHotKeyWord(unsigned word)
{
    SetHotKey(word & 0xFF, (word >> 8) & 0xFF);
}

void CHotKeyCtrl::GetHotKey(std::uint16_t& virtualKey, std::uint16_t& controlFlags) const
{
    virtualKey = m_nKey;
    controlFlags = m_nFlags;
}

wxString CHotKeyCtrl::GetHotKeyName() const
{
    return IsWaitingForKey() ? HotKeyText(0, m_nHeldFlags) : HotKeyText(m_nKey, m_nFlags);
}

wxSize CHotKeyCtrl::DoGetBestClientSize() const
{
    const wxSize text = GetTextExtent(kWidestText);
    return wxSize(text.x + 2 * kMargin, text.y + 2 * kMargin);
}

void CHotKeyCtrl::ShowCurrentText()
{
    if (wxCaret* caret = GetCaret())
    {
        const wxSize text = GetTextExtent(GetHotKeyName());
        caret->Move(kMargin + text.x, (GetClientSize().y - GetCharHeight()) / 2);
    }
    Refresh();
}

void CHotKeyCtrl::OnPaint(wxPaintEvent& /*event*/)
{
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    dc.SetTextForeground(IsEnabled() ? GetForegroundColour()
                                     : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    dc.DrawText(GetHotKeyName(), kMargin, (GetClientSize().y - dc.GetCharHeight()) / 2);
}

void CHotKeyCtrl::OnKeyDown(wxKeyEvent& event)
{
    const platform::KeyEventKey key = platform::KeyOfKeyEvent(event);
    const unsigned held = HeldControlFlags(event);
    if (key.modifier)
    {
        if (m_nHeldFlags == 0)
            m_bKeyTaken = false; // a new combination begins
        m_nHeldFlags = held;
        ShowCurrentText();
        return;
    }
    if (key.virtualKey == platform::VK_TAB && !event.ControlDown() && !event.AltDown())
    {
        Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward
                                   : wxNavigationKeyEvent::IsForward);
        return;
    }
    if (key.virtualKey == 0)
        return; // a key without a virtual-key code cannot be a hot key
    m_nKey = static_cast<std::uint8_t>(key.virtualKey & 0xFF);
    m_nFlags = static_cast<std::uint8_t>(held | (key.extended ? HOTKEYF_EXT : 0));
    m_nHeldFlags = held;
    m_bKeyTaken = true;
    ShowCurrentText();
}

void CHotKeyCtrl::OnKeyUp(wxKeyEvent& event)
{
    if (!platform::KeyOfKeyEvent(event).modifier)
        return;
    const bool wasWaiting = IsWaitingForKey();
    m_nHeldFlags = HeldControlFlags(event);
    // Modifiers pressed and let go without a key leave the control empty.
    if (wasWaiting && m_nHeldFlags == 0)
    {
        m_nKey = 0;
        m_nFlags = 0;
    }
    ShowCurrentText();
}

void CHotKeyCtrl::OnChar(wxKeyEvent& /*event*/)
{
    // The key was taken as a combination; it types nothing.
}

void CHotKeyCtrl::OnSetFocus(wxFocusEvent& event)
{
    m_nHeldFlags = 0;
    ShowCurrentText();
    if (wxCaret* caret = GetCaret(); caret && !caret->IsVisible())
        caret->Show();
    event.Skip();
}

void CHotKeyCtrl::OnKillFocus(wxFocusEvent& event)
{
    m_nHeldFlags = 0;
    ShowCurrentText();
    if (wxCaret* caret = GetCaret(); caret && caret->IsVisible())
        caret->Hide();
    event.Skip();
}

void CHotKeyCtrl::OnLeftDown(wxMouseEvent& event)
{
    SetFocus();
    event.Skip();
}

void CHotKeyCtrl::AddXmlHandler()
{
    static bool added = false;
    if (added)
        return;
    wxXmlResource::Get()->AddHandler(new CHotKeyCtrlXmlHandler());
    added = true;
}

// The event table comes last: the formatter would run it into whatever followed.
// clang-format off
wxBEGIN_EVENT_TABLE(CHotKeyCtrl, wxControl)
    EVT_PAINT(CHotKeyCtrl::OnPaint)
    EVT_KEY_DOWN(CHotKeyCtrl::OnKeyDown)
    EVT_KEY_UP(CHotKeyCtrl::OnKeyUp)
    EVT_CHAR(CHotKeyCtrl::OnChar)
    EVT_SET_FOCUS(CHotKeyCtrl::OnSetFocus)
    EVT_KILL_FOCUS(CHotKeyCtrl::OnKillFocus)
    EVT_LEFT_DOWN(CHotKeyCtrl::OnLeftDown)
wxEND_EVENT_TABLE()
