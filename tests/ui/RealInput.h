#pragma once
// Input as a user gives it, through the X server: keys and clicks made with
// the XTEST extension, and close requests made by the window manager. The
// GUI test program starts a window manager (openbox) when the display has
// none, so that windows get the keyboard focus and Alt+F4 closes them.

#include <functional>

#include <wx/colour.h>
#include <wx/dialog.h>
#include <wx/gdicmn.h>
#include <wx/timer.h>

class wxTopLevelWindow;

namespace moxtrel::test {

// Starts openbox when no window manager runs on the display; stops it again
// when the object goes. `Running` tells whether a window manager is there.
class WindowManager {
public:
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
    static bool Running();

private:
    int m_pid = 0;
};

// Dispatches every kind of event, the user's input included, until `done`
// holds or `seconds` have passed; false when time ran out. Works inside a
// modal loop and outside any loop.
bool PumpUntil(const std::function<bool()>& done, double seconds = 5.0);

// Waits until `window` is shown, placed and has the keyboard focus.
bool WaitUntilActive(wxTopLevelWindow& window);

// A key pressed and released, with modifiers (wxMOD_ALT...).
void PressKey(int keyCode, int modifiers = 0);
// A left click in the middle of `control`, or at `where` on the screen.
void ClickOn(wxWindow& control);
void ClickAt(const wxPoint& where);
// Alt+F4: the window manager asks the active window to close.
void RequestCloseOfActiveWindow();
// Waits, without dispatching anything, until a close request of the window
// manager has arrived in the program's event queue; the events before it
// stay queued before it.
bool WaitForQueuedCloseRequest(double seconds = 5.0);

// Runs `act` once on the first modal dialog that `matches`, while it is
// really shown; a dialog that `act` leaves open is ended with `leftOpen`.
class WhenModal : public wxTimer {
public:
    WhenModal(std::function<bool(wxDialog&)> matches, std::function<void(wxDialog&)> act, int leftOpen = -1);
    bool Acted() const { return m_acted; }
    void Notify() override;

private:
    std::function<bool(wxDialog&)> m_matches;
    std::function<void(wxDialog&)> m_act;
    int m_leftOpen;
    bool m_acted = false;
};

// Asks the window manager to close the active window while long work runs
// (the busy cursor is on), from the first timer event the work lets through,
// and returns once the request has reached the program.
class CloseRequestDuringWork : public wxTimer {
public:
    CloseRequestDuringWork() { Start(1); }
    bool Sent() const { return m_sent; }
    void Notify() override;

private:
    bool m_sent = false;
};

template <typename Dialog>
bool IsA(wxDialog& dialog) {
    return dynamic_cast<Dialog*>(&dialog) != nullptr;
}

// The colour of the screen at `where` (screen coordinates), as drawn.
wxColour ScreenPixel(const wxPoint& where);

}  // namespace moxtrel::test
