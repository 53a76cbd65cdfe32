// Input to another program through the X server, as a user's would arrive: pointer motion,
// button clicks and key strokes made with the XTest extension, and the close request a window
// manager sends (a WM_DELETE_WINDOW client message). Coordinates are root-window pixels.
#pragma once

#include <sys/types.h>

#include <string>

typedef struct _XDisplay Display;

namespace hk::test {

class XInput {
public:
    // Connects to the display named by DISPLAY; Ok() tells whether that worked and the
    // server has the XTest extension.
    XInput();
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;
    ~XInput();

    bool Ok() const { return display_ != nullptr; }
    const std::string& Error() const { return error_; }

    void MoveTo(int x, int y);
    // Moves to (x, y), presses and releases `button` (1 left, 3 right).
    void Click(int x, int y, unsigned button = 1);
    // Presses and releases the key of an X keysym name ("End", "BackSpace", "4"), while the
    // modifier key of another keysym name ("Control_L") is held when one is given.
    bool Key(const std::string& keysymName, const std::string& modifierName = {});
    // Keys for each character of `text` (letters, digits: one keysym each).
    bool Type(const std::string& text);

    // Asks every shown top-level window of process `pid` to close, as a window manager does
    // when the user closes it. The number of windows asked.
    int CloseWindowsOf(pid_t pid);

private:
    void Flush();

    Display* display_ = nullptr;
    std::string error_;
};

} // namespace hk::test
