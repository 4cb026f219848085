/* Another X client for the hot-key tests: it holds a key grab on the root
 * window, or holds the keyboard focus with a window of its own, just as some
 * other program on the desktop would.
 *
 *   x_key_grabber grab KEYSYM [shift|lock|control|mod1|...|mod5]...
 *   x_key_grabber focus
 *
 * It answers with one line on standard output: "grabbed", "refused" (another
 * client holds the combination), "no-key" (the keyboard has no such key) or
 * "focused 0x<window>". It then keeps what it got until its standard input
 * ends, so it never outlives the test that started it. */

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>

static int s_refused = 0;

static int OnError(Display* display, XErrorEvent* error)
{
    (void)display;
    if (error->error_code == BadAccess)
        s_refused = 1;
    return 0;
}

static void WaitForEndOfInput(void)
{
    char buffer[64];
    while (read(STDIN_FILENO, buffer, sizeof buffer) > 0)
    {
    }
}

static int ParseModifier(const char* name, unsigned* mask)
{
    static const char* const names[] = {"shift", "lock", "control", "mod1",
                                        "mod2",  "mod3", "mod4",    "mod5"};
    for (unsigned index = 0; index < 8; ++index)
    {
        if (strcmp(name, names[index]) == 0)
        {
            *mask |= 1u << index;
            return 1;
        }
    }
    return 0;
}

static int Grab(Display* display, int argc, char** argv)
{
    const KeySym keySym = XStringToKeysym(argv[2]);
    const KeyCode keyCode = keySym == NoSymbol ? 0 : XKeysymToKeycode(display, keySym);
    unsigned modifiers = 0;
    for (int index = 3; index < argc; ++index)
    {
        if (!ParseModifier(argv[index], &modifiers))
            return 2;
    }
    if (keyCode == 0)
    {
        printf("no-key\n");
        return 1;
    }
    XSetErrorHandler(OnError);
    XGrabKey(display, keyCode, modifiers, DefaultRootWindow(display), False, GrabModeAsync,
             GrabModeAsync);
    XSync(display, False);
    if (s_refused)
    {
        printf("refused\n");
        return 1;
    }
    printf("grabbed\n");
    fflush(stdout);
    WaitForEndOfInput();
    return 0;
}

static int Focus(Display* display)
{
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100,
                                              0, BlackPixel(display, 0), WhitePixel(display, 0));
    XStoreName(display, window, "x_key_grabber");
    XSelectInput(display, window, StructureNotifyMask);
    XMapRaised(display, window);
    XEvent event;
    do
        XNextEvent(display, &event);
    while (event.type != MapNotify);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    printf("focused 0x%lx\n", (unsigned long)window);
    fflush(stdout);
    WaitForEndOfInput();
    return 0;
}

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(NULL);
    if (!display)
        return 2;
    int result = 2;
    if (argc >= 3 && strcmp(argv[1], "grab") == 0)
        result = Grab(display, argc, argv);
    else if (argc == 2 && strcmp(argv[1], "focus") == 0)
        result = Focus(display);
    fflush(stdout);
    XCloseDisplay(display);
    return result;
}
