#pragma once
// Input as a user gives it: on Linux through the X server, keys and clicks
// made with XTEST and close requests (Alt+F4) made by the window manager
// (WindowManager.h); on Windows through SendInput, Alt+F4 included.

#include <functional>
#include <type_traits>

#include <wx/dialog.h>
#include <wx/timer.h>

namespace moxtrel::test {

// Dispatches every kind of event, idle time included, until `done` holds or
// `seconds` have passed; false when time ran out.
bool PumpUntil(const std::function<bool()>& done, double seconds = 5.0);
bool WaitUntilActive(wxTopLevelWindow& window);

void PressKey(int keyCode, int modifiers = 0);
void ClickOn(wxWindow& control);
void ClickAt(const wxPoint& where);
wxColour ScreenPixel(const wxPoint& where);

// Runs `act` once on the first modal dialog that `matches`, once it has the
// focus; a dialog that `act` leaves open is ended with `leftOpen`.
class WhenModal : public wxTimer {
public:
    WhenModal(std::function<bool(wxDialog&)> matches, std::function<void(wxDialog&)> act, int leftOpen = -1)
        : m_matches(std::move(matches)), m_act(std::move(act)), m_leftOpen(leftOpen) { Start(10); }
    bool Acted() const { return m_acted; }
    void Notify() override;

private:
    std::function<bool(wxDialog&)> m_matches;
    std::function<void(wxDialog&)> m_act;
    int m_leftOpen;
    bool m_acted = false;
};

template <typename Dialog>
bool IsA(wxDialog& dialog) {
    if constexpr (std::is_same_v<Dialog, wxDialog>) {
        return true;
    } else {
        return dynamic_cast<Dialog*>(&dialog) != nullptr;
    }
}

// From the first timer event that long work (the busy cursor is on) lets
// through, asks the window manager to close the active window, and waits
// until the request has reached the program.
class CloseRequestDuringWork : public wxTimer {
public:
    CloseRequestDuringWork() { Start(1); }
    bool Sent() const { return m_sent; }
    void Notify() override;

private:
    bool m_sent = false;
};

}  // namespace moxtrel::test
