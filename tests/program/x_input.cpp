// XTest input and the window manager's close message.
#include "tests/program/x_input.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace hk::test {

namespace {

// The _NET_WM_PID of a window, or -1 when it has none.
long WindowPid(Display* display, Window window, Atom pidAtom) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && type == XA_CARDINAL && format == 32 && count == 1)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr)
        XFree(data);
    return pid;
}

// Windows of the program come and go between listing them and asking about them (a closing
// window, a short-lived popup): such a request fails with BadWindow, which Xlib's default
// handler would end the test for. Errors are left to the calls' return values instead.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

XInput::XInput() {
    XSetErrorHandler(IgnoreXError);
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        error_ = "DISPLAY is not set: the test needs an X server (run it under xvfb-run)";
        return;
    }
    display_ = XOpenDisplay(name);
    if (display_ == nullptr) {
        error_ = std::string("cannot open display ") + name;
        return;
    }
    int event = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &errorBase, &major, &minor)) {
        error_ = std::string("display ") + name + " has no XTest extension";
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

XInput::~XInput() {
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

void XInput::Flush() {
    XSync(display_, False);
}

void XInput::MoveTo(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    Flush();
}

void XInput::Click(int x, int y, unsigned button) {
    MoveTo(x, y);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    Flush();
}

bool XInput::Key(const std::string& keysymName, const std::string& modifierName) {
    const auto codeOf = [this](const std::string& name) -> KeyCode {
        const KeySym sym = XStringToKeysym(name.c_str());
        return sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
    };
    const KeyCode code = codeOf(keysymName);
    const KeyCode modifier = modifierName.empty() ? 0 : codeOf(modifierName);
    if (code == 0 || (!modifierName.empty() && modifier == 0))
        return false;
    if (modifier != 0)
        XTestFakeKeyEvent(display_, modifier, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (modifier != 0)
        XTestFakeKeyEvent(display_, modifier, False, CurrentTime);
    Flush();
    return true;
}

bool XInput::Type(const std::string& text) {
    for (const char c : text)
        if (!Key(std::string(1, c)))
            return false;
    return true;
}

int XInput::CloseWindowsOf(pid_t pid) {
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
    const Atom protocols = XInternAtom(display_, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    const Window root = DefaultRootWindow(display_);
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, root, &rootReturn, &parent, &children, &count))
        return 0;
    int asked = 0;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, children[i], &attributes) ||
            attributes.map_state != IsViewable ||
            WindowPid(display_, children[i], pidAtom) != long(pid))
            continue;
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = children[i];
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, children[i], False, NoEventMask, &event);
        ++asked;
    }
    if (children != nullptr)
        XFree(children);
    Flush();
    return asked;
}

} // namespace hk::test
