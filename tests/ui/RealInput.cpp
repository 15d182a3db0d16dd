#include "RealInput.h"

#include <chrono>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
// Last: Xlib defines names such as None and Status as macros.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace moxtrel::test {

namespace {

Display* X() { return wxGetX11Display(); }

// Looks at the queued events, taking none: is WM_DELETE_WINDOW among them?
Bool SpotCloseRequest(Display* display, XEvent* event, XPointer found) {
    if (event->type == ClientMessage && event->xclient.message_type == XInternAtom(display, "WM_PROTOCOLS", False) &&
        static_cast<Atom>(event->xclient.data.l[0]) == XInternAtom(display, "WM_DELETE_WINDOW", False)) {
        *reinterpret_cast<bool*>(found) = true;
    }
    return False;
}

bool WaitForQueuedCloseRequest() {
    for (int tries = 0; tries < 1000; ++tries) {
        XEventsQueued(X(), QueuedAfterReading);
        bool found = false;
        XEvent event;
        XCheckIfEvent(X(), &event, SpotCloseRequest, reinterpret_cast<XPointer>(&found));
        if (found) return true;
        wxMilliSleep(5);
    }
    return false;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, double seconds) {
    wxGUIEventLoop temporary;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive() ? wxEventLoopBase::GetActive() : &temporary;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxTheApp->ProcessIdle();  // as a running loop does when it runs out of events
        wxMilliSleep(5);
    }
    return true;
}

bool WaitUntilActive(wxTopLevelWindow& window) {
    return PumpUntil([&] { return window.IsShown() && window.IsActive(); });
}

void PressKey(int keyCode, int modifiers) {
    wxUIActionSimulator().Char(keyCode, modifiers);
    XSync(X(), False);
}

void ClickOn(wxWindow& control) {
    const wxRect rect = control.GetScreenRect();
    ClickAt({rect.x + rect.width / 2, rect.y + rect.height / 2});
}

void ClickAt(const wxPoint& where) {
    wxUIActionSimulator input;
    input.MouseMove(where);
    input.MouseClick();
    XSync(X(), False);
}

wxColour ScreenPixel(const wxPoint& where) {
    XImage* image = XGetImage(X(), DefaultRootWindow(X()), where.x, where.y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return wxNullColour;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    // The test display is true colour, 8 bits a channel.
    return wxColour((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

void WhenModal::Notify() {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = wxDynamicCast(window, wxDialog);
        if (!dialog || !dialog->IsModal() || !m_matches(*dialog)) continue;
        Stop();
        m_acted = true;
        EXPECT_TRUE(WaitUntilActive(*dialog)) << "the dialog never got the focus";
        m_act(*dialog);
        if (dialog->IsModal()) dialog->EndModal(m_leftOpen);
        return;
    }
}

void CloseRequestDuringWork::Notify() {
    if (!wxIsBusy()) return;
    Stop();
    PressKey(WXK_F4, wxMOD_ALT);
    m_sent = WaitForQueuedCloseRequest();
}

}  // namespace moxtrel::test
