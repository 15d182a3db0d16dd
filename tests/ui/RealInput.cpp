#include "RealInput.h"

#include <chrono>
#include <optional>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "ui/GuiTest.h"
#ifdef __WXMSW__
#include <windows.h>
#else
// Last: Xlib defines names such as None and Status as macros.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace moxtrel::test {

namespace {

#ifdef __WXMSW__
// The keys and clicks of SendInput are queued for the window's thread, and
// Alt+F4 is a system key: DefWindowProc turns it into the close request.
void WaitUntilInputIsQueued() {}

// Alt+F4 is queued whole before PressKey returns; its Alt comes first.
bool WaitForQueuedCloseRequest() {
    for (int tries = 0; tries < 1000; ++tries) {
        MSG message;
        if (::PeekMessageW(&message, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
            (message.wParam == VK_MENU || message.wParam == VK_F4)) {
            return true;
        }
        wxMilliSleep(5);
    }
    return false;
}

wxColour PixelOfScreen(const wxPoint& where) {
    const HDC screen = ::GetDC(nullptr);
    const COLORREF pixel = ::GetPixel(screen, where.x, where.y);
    ::ReleaseDC(nullptr, screen);
    if (pixel == CLR_INVALID) return wxNullColour;
    return wxColour(GetRValue(pixel), GetGValue(pixel), GetBValue(pixel));
}
#else
Display* X() { return wxGetX11Display(); }

// XTEST input reaches the server once the connection is flushed.
void WaitUntilInputIsQueued() { XSync(X(), False); }

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

wxColour PixelOfScreen(const wxPoint& where) {
    XImage* image = XGetImage(X(), DefaultRootWindow(X()), where.x, where.y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return wxNullColour;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    // The test display is true colour, 8 bits a channel.
    return wxColour((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
#endif

}  // namespace

bool PumpUntil(const std::function<bool()>& done, double seconds) {
    // A loop of its own is made the active one: wxMSW dispatches what it
    // yields for through the active loop, and has none outside ShowModal.
    wxGUIEventLoop temporary;
    std::optional<wxEventLoopActivator> activator;
    if (!wxEventLoopBase::GetActive()) activator.emplace(&temporary);
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
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
    WaitUntilInputIsQueued();
}

void ClickOn(wxWindow& control) {
    const wxRect rect = control.GetScreenRect();
    ClickAt({rect.x + rect.width / 2, rect.y + rect.height / 2});
}

void ClickAt(const wxPoint& where) {
    wxUIActionSimulator input;
    input.MouseMove(where);
    input.MouseClick();
    WaitUntilInputIsQueued();
}

wxColour ScreenPixel(const wxPoint& where) { return PixelOfScreen(where); }

void WhenModal::Notify() {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = wxDynamicCast(window, wxDialog);
        if (!dialog || !IsOpenModal(*dialog) || !m_matches(*dialog)) continue;
        Stop();
        m_acted = true;
        EXPECT_TRUE(WaitUntilActive(*dialog)) << "the dialog never got the focus";
        m_act(*dialog);
        if (IsOpenModal(*dialog)) dialog->EndModal(m_leftOpen);
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
