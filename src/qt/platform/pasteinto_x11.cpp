// X11 and XWayland: the window manager names the active window in _NET_ACTIVE_WINDOW, activates
// one when a pager asks, and XTEST presses the paste key. A connection of its own, so that
// nothing here waits on the toolkit's.
#include "pasteinto.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cctype>
#include <string>
#include <unistd.h>

namespace platform {
namespace {

Display* display = nullptr;
Atom activeAtom = None, pidAtom = None;
bool othersSinceStart = false; // another program's window was active since this one started
Window previous = None; // the last other program's window that was active
Window pending = None; // brought back, waiting to be active before the paste key goes to it
QTimer* giveUp = nullptr;

// A window that is gone, or a property missing, is no error here.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

unsigned long windowProperty(Window window, Atom property, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    unsigned long value = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType, &format, &count, &left, &data)
            == Success
        && data && count == 1)
        value = format == 32 ? *reinterpret_cast<unsigned long*>(data) : 0;
    if (data)
        XFree(data);
    return value;
}

Window activeWindow()
{
    return Window(windowProperty(DefaultRootWindow(display), activeAtom, XA_WINDOW));
}

bool otherProgram(Window window)
{
    return window != None && windowProperty(window, pidAtom, XA_CARDINAL) != unsigned(getpid());
}

// Terminals paste with Ctrl+Shift+V; everything else with Ctrl+V.
bool isTerminal(Window window)
{
    XClassHint hint {};
    if (!XGetClassHint(display, window, &hint))
        return false;
    std::string name = hint.res_class ? hint.res_class : "";
    XFree(hint.res_name);
    XFree(hint.res_class);
    for (char& c : name)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* terminal : { "term", "konsole", "kitty", "alacritty", "tilix", "foot", "terminator" })
        if (name.find(terminal) != std::string::npos)
            return true;
    return false;
}

void pressPasteKey(Window target)
{
    const bool terminal = isTerminal(target);
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L), shift = XKeysymToKeycode(display, XK_Shift_L),
                  v = XKeysymToKeycode(display, XK_v);
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    if (terminal)
        XTestFakeKeyEvent(display, shift, True, CurrentTime);
    XTestFakeKeyEvent(display, v, True, CurrentTime);
    XTestFakeKeyEvent(display, v, False, CurrentTime);
    if (terminal)
        XTestFakeKeyEvent(display, shift, False, CurrentTime);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XFlush(display);
}

// Keys sent the moment the window manager names the window active can reach the program before
// it takes the focus, and are lost: the paste key follows a moment later.
constexpr int kSettleMs = 100;

void activeChanged()
{
    const Window active = activeWindow();
    if (otherProgram(active)) {
        previous = active;
        othersSinceStart = true;
    }
    if (pending != None && active == pending) {
        giveUp->stop();
        pending = None;
        QTimer::singleShot(kSettleMs, qApp, [active] { pressPasteKey(active); });
    }
}

void readEvents()
{
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == PropertyNotify && event.xproperty.atom == activeAtom)
            activeChanged();
    }
}

} // namespace

void followActiveWindow()
{
    if (display || QGuiApplication::platformName() != QLatin1String("xcb") || !(display = XOpenDisplay(nullptr)))
        return;
    XSetErrorHandler(ignoreErrors);
    activeAtom = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
    XFlush(display);
    auto* events = new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read, qApp);
    QObject::connect(events, &QSocketNotifier::activated, qApp, readEvents);
    giveUp = new QTimer(qApp);
    giveUp->setSingleShot(true);
    QObject::connect(giveUp, &QTimer::timeout, qApp, [] { pending = None; }); // it never came back
}

void pasteIntoPrevious()
{
    XWindowAttributes attributes;
    if (!display || !othersSinceStart || previous == None || !XGetWindowAttributes(display, previous, &attributes))
        return;
    // Asked as a pager asks, which window managers grant without focus-stealing rules.
    XEvent message {};
    message.xclient.type = ClientMessage;
    message.xclient.window = previous;
    message.xclient.message_type = activeAtom;
    message.xclient.format = 32;
    message.xclient.data.l[0] = 2;
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(display);
    pending = previous;
    giveUp->start(1000);
    readEvents();
}

} // namespace platform
