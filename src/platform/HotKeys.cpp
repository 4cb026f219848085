#include "platform/HotKeys.h"

#include "platform/Messages.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <wx/event.h>
#include <wx/window.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <set>

namespace platform
{

namespace
{
// One registered combination and the grabs that make it.
struct Registration
{
    wxWindow* window;
    int id;
    unsigned modifiers;
    unsigned virtualKey;
    std::vector<KeyCode> keyCodes;
    unsigned state; // X modifier state without the lock bits
    std::vector<unsigned> variants;
};

Display* XDisplayOfProgram()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return nullptr;
    return GDK_DISPLAY_XDISPLAY(display);
}

// The modifier bit (Mod1 to Mod5) that holds one of the keys; 0 when none does.
unsigned ModifierMaskOfKeys(Display* display, XModifierKeymap* map,
                            std::initializer_list<KeySym> keySyms)
{
    for (KeySym keySym : keySyms)
    {
        const KeyCode keyCode = XKeysymToKeycode(display, keySym);
        if (keyCode == 0)
            continue;
        for (int modifier = Mod1MapIndex; modifier <= Mod5MapIndex; ++modifier)
        {
            for (int slot = 0; slot < map->max_keypermod; ++slot)
            {
                if (map->modifiermap[modifier * map->max_keypermod + slot] == keyCode)
                    return 1u << modifier;
            }
        }
    }
    return 0;
}

XModifierLayout ReadModifierLayout(Display* display)
{
    XModifierLayout layout;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return layout;
    layout.altMask = ModifierMaskOfKeys(display, map, {XK_Alt_L, XK_Alt_R, XK_Meta_L});
    layout.superMask = ModifierMaskOfKeys(display, map, {XK_Super_L, XK_Super_R});
    layout.numLockMask = ModifierMaskOfKeys(display, map, {XK_Num_Lock});
    XFreeModifiermap(map);
    return layout;
}

// Catches the X errors of our own requests for as long as it lives, on
// GDK's connection only (the one whose events the filter below reads), by
// the serial numbers of the requests made meanwhile. GDK's handler does the
// catching, so no error handler of the process is swapped under the feet of
// the player's threads, whose connections are their own. The server answers
// a grab that another client holds with BadAccess, asynchronously; Finish
// waits for every answer.
class CGrabErrorTrap
{
public:
    CGrabErrorTrap() : m_pDisplay(gdk_display_get_default())
    {
        gdk_x11_display_error_trap_push(m_pDisplay);
    }
    ~CGrabErrorTrap()
    {
        if (m_bTrapping)
            gdk_x11_display_error_trap_pop_ignored(m_pDisplay);
    }
    CGrabErrorTrap(const CGrabErrorTrap&) = delete;
    CGrabErrorTrap& operator=(const CGrabErrorTrap&) = delete;

    // Waits for the server's answers and gives the first error (Success when none).
    int Finish()
    {
        m_bTrapping = false;
        return gdk_x11_display_error_trap_pop(m_pDisplay);
    }

private:
    GdkDisplay* m_pDisplay;
    bool m_bTrapping = true;
};

// The keys of the keyboard that give the virtual key; empty when it has none.
std::vector<KeyCode> KeyCodesOfVirtualKey(Display* display, unsigned virtualKey)
{
    std::vector<KeyCode> keyCodes;
    const auto keySym = KeySymFromVirtualKey(virtualKey);
    if (!keySym)
        return keyCodes;
    std::vector<unsigned long> keySyms = ExtraKeySymsOfVirtualKey(virtualKey);
    keySyms.insert(keySyms.begin(), *keySym);
    for (unsigned long each : keySyms)
    {
        const KeyCode keyCode = XKeysymToKeycode(display, each);
        if (keyCode != 0 && std::find(keyCodes.begin(), keyCodes.end(), keyCode) == keyCodes.end())
            keyCodes.push_back(keyCode);
    }
    return keyCodes;
}

void Ungrab(Display* display, const Registration& registration)
{
    const Window root = DefaultRootWindow(display);
    CGrabErrorTrap trap; // an error here would only mean there was nothing to release
    for (KeyCode keyCode : registration.keyCodes)
    {
        for (unsigned variant : registration.variants)
            XUngrabKey(display, keyCode, variant, root);
    }
    // Nothing else may be sent for a while; the key must be free for others now.
    XFlush(display);
}

// Grabs every key and lock variant of the registration; all or nothing.
bool Grab(Display* display, const Registration& registration)
{
    const Window root = DefaultRootWindow(display);
    CGrabErrorTrap trap;
    for (KeyCode keyCode : registration.keyCodes)
    {
        for (unsigned variant : registration.variants)
            XGrabKey(display, keyCode, variant, root, False, GrabModeAsync, GrabModeAsync);
    }
    if (trap.Finish() == Success)
        return true;
    // Releasing only ever touches this program's own grabs, never the other client's.
    Ungrab(display, registration);
    return false;
}

bool SameCombination(const Registration& a, const Registration& b)
{
    if (a.state != b.state)
        return false;
    for (KeyCode keyCode : a.keyCodes)
    {
        if (std::find(b.keyCodes.begin(), b.keyCodes.end(), keyCode) != b.keyCodes.end())
            return true;
    }
    return false;
}

// Every combination of the program, and the reading of the key events their grabs bring.
class CHotKeyTable
{
public:
    bool Register(wxWindow* window, int id, unsigned modifiers, unsigned virtualKey);
    bool Unregister(wxWindow* window, int id);
    bool IsRegistered(const wxWindow* window, int id) const { return Find(window, id) != nullptr; }

    const XModifierLayout& Layout() const { return m_layout; }

private:
    const Registration* Find(const wxWindow* window, int id) const;
    bool IsTakenByAnother(const Registration& wanted) const;
    bool Replace(Display* display, Registration wanted);
    void Add(Registration registration);
    void Remove(const wxWindow* window, int id);
    void ReleaseWindow(wxWindow* window);
    void WatchWindow(wxWindow* window);
    void UpdateFilter();
    bool Deliver(const XKeyEvent& event) const;
    static GdkFilterReturn OnXEvent(GdkXEvent* xEvent, GdkEvent* event, gpointer data);

    std::vector<Registration> m_registrations;
    std::set<wxWindow*> m_watchedWindows;
    XModifierLayout m_layout;
    bool m_bFiltering = false;
};

const Registration* CHotKeyTable::Find(const wxWindow* window, int id) const
{
    for (const Registration& registration : m_registrations)
    {
        if (registration.window == window && registration.id == id)
            return &registration;
    }
    return nullptr;
}

bool CHotKeyTable::IsTakenByAnother(const Registration& wanted) const
{
    for (const Registration& registration : m_registrations)
    {
        const bool isSameOwner =
            registration.window == wanted.window && registration.id == wanted.id;
        if (!isSameOwner && SameCombination(registration, wanted))
            return true;
    }
    return false;
}

bool CHotKeyTable::Register(wxWindow* window, int id, unsigned modifiers, unsigned virtualKey)
{
    Display* display = XDisplayOfProgram();
    if (!window || !display)
        return false;
    m_layout = ReadModifierLayout(display);
    const auto state = XModifierState(modifiers, m_layout);
    if (!state)
        return false;
    Registration wanted{window,
                        id,
                        modifiers,
                        virtualKey,
                        KeyCodesOfVirtualKey(display, virtualKey),
                        *state,
                        LockVariants(*state, m_layout)};
    if (wanted.keyCodes.empty() || IsTakenByAnother(wanted))
        return false;
    return Replace(display, std::move(wanted));
}

// Puts the registration in place of the id's old one. The new grabs are made
// before the old ones go, so that a refused combination leaves the id with
// the one it had; only when both share a grab must the old one go first, as
// releasing it afterwards would release the new one too.
bool CHotKeyTable::Replace(Display* display, Registration wanted)
{
    const Registration* old = Find(wanted.window, wanted.id);
    if (old && old->modifiers == wanted.modifiers && old->virtualKey == wanted.virtualKey)
        return true;
    if (old && SameCombination(*old, wanted))
        Unregister(wanted.window, wanted.id);
    if (!Grab(display, wanted))
        return false;
    Unregister(wanted.window, wanted.id);
    Add(std::move(wanted));
    return true;
}

bool CHotKeyTable::Unregister(wxWindow* window, int id)
{
    const Registration* registration = Find(window, id);
    if (!registration)
        return false;
    if (Display* display = XDisplayOfProgram())
        Ungrab(display, *registration);
    Remove(window, id);
    return true;
}

void CHotKeyTable::Add(Registration registration)
{
    WatchWindow(registration.window);
    m_registrations.push_back(std::move(registration));
    UpdateFilter();
}

void CHotKeyTable::Remove(const wxWindow* window, int id)
{
    m_registrations.erase(std::remove_if(m_registrations.begin(), m_registrations.end(),
                                         [&](const Registration& registration) {
                                             return registration.window == window &&
                                                    registration.id == id;
                                         }),
                          m_registrations.end());
    UpdateFilter();
}

void CHotKeyTable::ReleaseWindow(wxWindow* window)
{
    std::vector<int> ids;
    for (const Registration& registration : m_registrations)
    {
        if (registration.window == window)
            ids.push_back(registration.id);
    }
    for (int id : ids)
        Unregister(window, id);
    m_watchedWindows.erase(window);
}

// A destroyed window loses its combinations, as the window system would take them away.
void CHotKeyTable::WatchWindow(wxWindow* window)
{
    if (!m_watchedWindows.insert(window).second)
        return;
    window->Bind(wxEVT_DESTROY,
                 [this, window](wxWindowDestroyEvent& event)
                 {
                     if (event.GetEventObject() == window)
                         ReleaseWindow(window);
                     event.Skip();
                 });
}

// The grabbed keys arrive as plain X key events on the root window, which GTK
// knows nothing of; a filter ahead of GTK reads them.
void CHotKeyTable::UpdateFilter()
{
    const bool wanted = !m_registrations.empty();
    if (wanted == m_bFiltering)
        return;
    if (wanted)
        gdk_window_add_filter(nullptr, &CHotKeyTable::OnXEvent, this);
    else
        gdk_window_remove_filter(nullptr, &CHotKeyTable::OnXEvent, this);
    m_bFiltering = wanted;
}

GdkFilterReturn CHotKeyTable::OnXEvent(GdkXEvent* xEvent, GdkEvent* /*event*/, gpointer data)
{
    const XEvent* event = static_cast<const XEvent*>(xEvent);
    if (event->type != KeyPress && event->type != KeyRelease)
        return GDK_FILTER_CONTINUE;
    const auto* table = static_cast<const CHotKeyTable*>(data);
    return table->Deliver(event->xkey) ? GDK_FILTER_REMOVE : GDK_FILTER_CONTINUE;
}

bool CHotKeyTable::Deliver(const XKeyEvent& event) const
{
    if (event.window != event.root)
        return false;
    const unsigned state = SignificantXModifiers(event.state, m_layout);
    for (const Registration& registration : m_registrations)
    {
        const bool isKey = std::find(registration.keyCodes.begin(), registration.keyCodes.end(),
                                     event.keycode) != registration.keyCodes.end();
        if (!isKey)
            continue;
        // The key's release ends the grab, whichever modifiers were let go first.
        if (event.type == KeyRelease)
            return true;
        if (registration.state != state)
            continue;
        PostMessage(registration.window, WM_HOTKEY, registration.id,
                    MakeHotKeyLParam(registration.modifiers, registration.virtualKey));
        return true;
    }
    return false;
}

// Lives until the process ends: registrations may outlast every window object.
CHotKeyTable& Table()
{
    static CHotKeyTable* table = new CHotKeyTable();
    return *table;
}

// The key symbol of a key of the keyboard as it reads without Shift, Ctrl
// and Alt; keypad keys follow Num Lock.
std::optional<unsigned long> UnmodifiedKeySym(unsigned keyCode)
{
    Display* display = XDisplayOfProgram();
    if (!display || keyCode == 0)
        return std::nullopt;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
    const unsigned numLockMask = ReadModifierLayout(display).numLockMask;
    const unsigned state = gdk_keymap_get_num_lock_state(keymap) ? numLockMask : 0;
    guint keyVal = 0;
    if (!gdk_keymap_translate_keyboard_state(keymap, keyCode, static_cast<GdkModifierType>(state),
                                             0, &keyVal, nullptr, nullptr, nullptr))
        return std::nullopt;
    return keyVal;
}
} // namespace

bool RegisterHotKey(wxWindow* window, int id, unsigned modifiers, unsigned virtualKey)
{
    return Table().Register(window, id, modifiers, virtualKey);
}

bool UnregisterHotKey(wxWindow* window, int id)
{
    return Table().Unregister(window, id);
}

bool IsHotKeyRegistered(const wxWindow* window, int id)
{
    return Table().IsRegistered(window, id);
}

KeyEventKey KeyOfKeyEvent(const wxKeyEvent& event)
{
    const unsigned long pressed = event.GetRawKeyCode();
    const unsigned long keySym = UnmodifiedKeySym(event.GetRawKeyFlags()).value_or(pressed);
    KeyEventKey key;
    if (IsModifierKeySym(keySym) || IsModifierKeySym(pressed))
    {
        key.modifier = true;
        key.modifierBit = ModifierOfKeySym(keySym) | ModifierOfKeySym(pressed);
        return key;
    }
    if (const auto press = VirtualKeyFromKeySym(keySym))
    {
        key.virtualKey = press->virtualKey;
        key.extended = press->extended;
    }
    return key;
}

} // namespace platform
