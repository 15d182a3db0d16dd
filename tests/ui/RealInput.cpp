#include "RealInput.h"

#include <chrono>
#include <csignal>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>

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

extern char** environ;

namespace moxtrel::test {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point After(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

Display* X() { return wxGetX11Display(); }

// What a window manager announces on the root window.
bool RootHasWindowManagerCheck() {
    Atom check = XInternAtom(X(), "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(X(), DefaultRootWindow(X()), check, 0, 1, False, XA_WINDOW, &type, &format,
                                          &count, &after, &data);
    if (data) XFree(data);
    return status == Success && count == 1;
}

// A close request of the window manager: WM_PROTOCOLS with WM_DELETE_WINDOW.
Bool IsCloseRequest(Display* display, XEvent* event, XPointer found) {
    if (event->type == ClientMessage &&
        event->xclient.message_type == XInternAtom(display, "WM_PROTOCOLS", False) &&
        static_cast<Atom>(event->xclient.data.l[0]) == XInternAtom(display, "WM_DELETE_WINDOW", False)) {
        *reinterpret_cast<bool*>(found) = true;
    }
    return False;  // look only: the event stays where it is
}

}  // namespace

WindowManager::WindowManager() {
    if (Running()) return;
    char program[] = "openbox";
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return;
    m_pid = pid;
    const auto end = After(10.0);
    while (!Running() && Clock::now() < end) wxMilliSleep(20);
}

WindowManager::~WindowManager() {
    if (m_pid == 0) return;
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
}

bool WindowManager::Running() { return RootHasWindowManagerCheck(); }

bool PumpUntil(const std::function<bool()>& done, double seconds) {
    std::unique_ptr<wxEventLoopBase> temporary;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop) {
        temporary = std::make_unique<wxGUIEventLoop>();
        loop = temporary.get();
    }
    const auto end = After(seconds);
    while (!done()) {
        if (Clock::now() > end) return false;
        loop->YieldFor(wxEVT_CATEGORY_ALL);
        // A running loop sends idle events whenever it runs out of events.
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    }
    return true;
}

bool WaitUntilActive(wxTopLevelWindow& window) {
    return PumpUntil([&] { return window.IsShown() && window.IsActive(); });
}

void PressKey(int keyCode, int modifiers) {
    wxUIActionSimulator input;
    input.Char(keyCode, modifiers);
    XSync(X(), False);
}

void ClickOn(wxWindow& control) {
    const wxRect rect = control.GetScreenRect();
    ClickAt({rect.GetLeft() + rect.width / 2, rect.GetTop() + rect.height / 2});
}

void ClickAt(const wxPoint& where) {
    wxUIActionSimulator input;
    input.MouseMove(where);
    input.MouseClick();
    XSync(X(), False);
}

void RequestCloseOfActiveWindow() { PressKey(WXK_F4, wxMOD_ALT); }

bool WaitForQueuedCloseRequest(double seconds) {
    const auto end = After(seconds);
    while (Clock::now() < end) {
        XEventsQueued(X(), QueuedAfterReading);
        bool found = false;
        XEvent event;
        XCheckIfEvent(X(), &event, IsCloseRequest, reinterpret_cast<XPointer>(&found));
        if (found) return true;
        wxMilliSleep(5);
    }
    return false;
}

WhenModal::WhenModal(std::function<bool(wxDialog&)> matches, std::function<void(wxDialog&)> act, int leftOpen)
    : m_matches(std::move(matches)), m_act(std::move(act)), m_leftOpen(leftOpen) {
    Start(10);
}

void WhenModal::Notify() {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = wxDynamicCast(window, wxDialog);
        if (!dialog || !dialog->IsModal() || !m_matches(*dialog)) continue;
        Stop();
        m_acted = true;
        if (!WaitUntilActive(*dialog)) ADD_FAILURE() << "the dialog never got the focus";
        m_act(*dialog);
        if (dialog->IsModal()) dialog->EndModal(m_leftOpen);
        return;
    }
}

void CloseRequestDuringWork::Notify() {
    if (!wxIsBusy()) return;
    Stop();
    RequestCloseOfActiveWindow();
    m_sent = WaitForQueuedCloseRequest();
}

wxColour ScreenPixel(const wxPoint& where) {
    XImage* image = XGetImage(X(), DefaultRootWindow(X()), where.x, where.y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return wxNullColour;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    // The display of the tests is true colour, 8 bits a channel.
    return wxColour((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

}  // namespace moxtrel::test
