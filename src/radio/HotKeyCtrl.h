#pragma once
// A small control that captures a key combination while it has the focus and
// shows it as people read it ("Ctrl + Alt + P", "None" when empty).
//
// A combination is one word, as the settings page handles it: the virtual-key
// code in the low byte and the control's flags (HOTKEYF_*) in the high byte.
// The extended-key flag tells keys of the navigation cluster and media keys
// from their twins on the keypad; it is kept as it is given or captured.

#include <wx/control.h>

#include <cstdint>

constexpr unsigned HOTKEYF_SHIFT = 0x01;
constexpr unsigned HOTKEYF_CONTROL = 0x02;
constexpr unsigned HOTKEYF_ALT = 0x04;
constexpr unsigned HOTKEYF_EXT = 0x08;

// One word from a key and control flags: the low byte of each.
constexpr unsigned MakeHotKeyWord(unsigned key, unsigned controlFlags)
{
    return ((controlFlags & 0xFFu) << 8) | (key & 0xFFu);
}

// How a combination reads: the held modifiers in the order Ctrl, Shift, Alt,
// then the key ("Ctrl + Alt + P"); modifiers without a key end in "+ ";
// "None" when there is nothing at all.
wxString HotKeyText(unsigned key, unsigned controlFlags);

class CHotKeyCtrl : public wxControl
{
public:
    CHotKeyCtrl() = default;
    CHotKeyCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0,
                const wxString& name = "hotkey");
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0,
                const wxString& name = "hotkey");

    // Shows the combination; only the low byte of each counts. A key of 0 empties the control.
    void SetHotKey(std::uint16_t virtualKey, std::uint16_t controlFlags);
    // The same from one word: key in the low byte, control flags in the high byte.
    void SetHotKeyWord(unsigned word);
    // The combination as one word: key in the low byte, control flags in the high byte.
    unsigned GetHotKey() const { return MakeHotKeyWord(m_nKey, m_nFlags); }
    void GetHotKey(std::uint16_t& virtualKey, std::uint16_t& controlFlags) const;
    // What the control shows.
    wxString GetHotKeyName() const;

    bool AcceptsFocus() const override { return true; }

    // Lets XRC files create the control from <object class="CHotKeyCtrl">.
    static void AddXmlHandler();

protected:
    wxSize DoGetBestClientSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnLeftDown(wxMouseEvent& event);

    bool IsWaitingForKey() const { return m_nHeldFlags != 0 && !m_bKeyTaken; }
    void ShowCurrentText();

    std::uint8_t m_nKey = 0;
    std::uint8_t m_nFlags = 0;
    unsigned m_nHeldFlags = 0; // control flags of the modifier keys held down now
    bool m_bKeyTaken = false;  // a key was taken since the modifiers went down

    wxDECLARE_DYNAMIC_CLASS(CHotKeyCtrl);
    wxDECLARE_EVENT_TABLE();
};
