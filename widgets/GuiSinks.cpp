#include "widgets/GuiSinks.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>

#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/utils.h>
#include <wx/window.h>

#ifdef __WXMSW__
#include <wx/msw/wrapwin.h>
#endif

namespace moxtrel::widgets {

namespace {

// The normal cursor over a box shown while the busy cursor is on. wxGTK has
// a class for it; elsewhere the busy cursor is ended for as long as the box
// shows and begun again, as often as it had been begun, after it.
#ifdef __WXGTK__
using NormalCursorForBox = wxBusyCursorSuspender;
#else
class NormalCursorForBox {
public:
    NormalCursorForBox() {
        for (; wxIsBusy(); ++m_busyLevels) wxEndBusyCursor();
    }
    ~NormalCursorForBox() {
        for (int i = 0; i < m_busyLevels; ++i) wxBeginBusyCursor();
    }
    NormalCursorForBox(const NormalCursorForBox&) = delete;
    NormalCursorForBox& operator=(const NormalCursorForBox&) = delete;

private:
    int m_busyLevels = 0;
};
#endif

// A close request made during long work: the title bar's close button,
// Alt+F4, or the window manager's close under Wine. wxMSW's filtered yield
// counts each of these as user input and puts what it does not dispatch back
// on the queue without its window, where it is lost; the dialog would then
// never hear of the close it is to answer once the work is over. They are
// dispatched here instead, before the yield and, for a request that came
// during it, after it (the dialog holds the close until the work is over);
// the rest of those messages is dropped, as the yield drops all input made
// meanwhile.
#ifdef __WXMSW__
// Takes the messages `first` to `last` off the queue and dispatches those
// that ask for a close; the yield would drop the others just the same.
template <typename IsClose>
void DispatchFromQueue(UINT first, UINT last, IsClose isClose) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
        if (!isClose(msg)) continue;
        // One the yield put back has lost its window: it was the active one,
        // the only window of the program that takes input during the work.
        if (!msg.hwnd) msg.hwnd = ::GetActiveWindow();
        ::DispatchMessageW(&msg);
    }
}

void DispatchCloseRequests() {
    // What becomes a close: Alt+F4 and the close button's click.
    DispatchFromQueue(WM_SYSKEYDOWN, WM_SYSKEYDOWN, [](const MSG& msg) { return msg.wParam == VK_F4; });
    DispatchFromQueue(WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, [](const MSG& msg) { return msg.wParam == HTCLOSE; });
    // The close they, or the window manager, asked for.
    DispatchFromQueue(WM_SYSCOMMAND, WM_SYSCOMMAND, [](const MSG& msg) { return (msg.wParam & 0xFFF0) == SC_CLOSE; });
}
#else
// Elsewhere the filtered yield passes a close request on as it is.
void DispatchCloseRequests() {}
#endif

}  // namespace

void KeepWindowsPainted(bool always) {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point lastPass;
    const Clock::time_point now = Clock::now();
    if (!always && now - lastPass < std::chrono::milliseconds(30)) return;
    lastPass = now;
    // Inside a pass, paint and timer handlers run; if one of them reports
    // again, the pass under way serves it.
    static bool inPass = false;
    if (inPass) return;
    inPass = true;
    // Work started from a handler runs inside the dialog's event loop; work
    // started before any loop runs gets a loop for the pass, made the active
    // one, since wxMSW dispatches what it yields for through the active loop.
    wxGUIEventLoop temporary;
    std::optional<wxEventLoopActivator> activator;
    if (!wxEventLoopBase::GetActive()) activator.emplace(&temporary);
    DispatchCloseRequests();
    wxEventLoopBase::GetActive()->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_TIMER);
    DispatchCloseRequests();
    inPass = false;
}

int ShowModalOverBusyWindow(wxWindow& owner, const std::function<int()>& showModal) {
    const bool hadCapture = owner.HasCapture();
    if (hadCapture) owner.ReleaseMouse();
    int result;
    {
        NormalCursorForBox normalCursor;
        result = showModal();
    }
    if (hadCapture && !owner.HasCapture()) owner.CaptureMouse();
    return result;
}

BusyWindow::BusyWindow(wxWindow& window) : m_window(window) {
    wxBeginBusyCursor();
    // A grab shows the window's own cursor, so that must be the busy one too.
    m_window.SetCursor(*wxHOURGLASS_CURSOR);
    m_window.CaptureMouse();
}

BusyWindow::~BusyWindow() {
    if (m_window.HasCapture()) m_window.ReleaseMouse();
    m_window.SetCursor(wxNullCursor);
    wxEndBusyCursor();
}

void StatusTextSink::SetStatus(const std::string& text) {
    m_control.SetLabel(wxString::FromUTF8(text));
    m_control.Refresh();
    m_control.Update();
    KeepWindowsPainted(true);
}

void GaugeProgressSink::SetRange(int upper) {
    // An empty range still draws an empty bar.
    m_gauge.SetRange(std::max(upper, 1));
    m_gauge.SetValue(std::min(m_gauge.GetValue(), m_gauge.GetRange()));
    KeepWindowsPainted();
}

void GaugeProgressSink::SetPosition(int position) {
    m_gauge.SetValue(std::clamp(position, 0, m_gauge.GetRange()));
    KeepWindowsPainted();
}

void GaugeProgressSink::Step() {
    m_gauge.SetValue(std::min(m_gauge.GetValue() + 1, m_gauge.GetRange()));
    KeepWindowsPainted();
}

MessageDialog::MessageDialog(wxWindow& owner, const wxString& text, const wxString& caption, long style)
    : wxGenericMessageDialog(&owner, text, caption, style) {}

// Below the text, a strut as wide as the title bar needs: the caption in a
// bold face (as title bars draw it), with room for the frame's buttons.
void MessageDialog::AddMessageDialogDetails(wxSizer* sizer) {
    constexpr int FrameButtonsRoom = 120;
    const wxFont titleFont = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold();
    int captionWidth = 0;
    GetTextExtent(GetCaption(), &captionWidth, nullptr, nullptr, nullptr, &titleFont);
    sizer->Add(captionWidth + FrameButtonsRoom, 0);
}

void DialogMessageSink::ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                                    const std::string& detail) {
    const long style = wxOK | (kind == MessageKind::Exclamation ? wxICON_EXCLAMATION : 0);
    ShowModalOverBusyWindow(m_owner, [&] {
        MessageDialog box(m_owner, wxString::FromUTF8(text), wxString::FromUTF8(caption), style);
        if (!detail.empty()) box.SetExtendedMessage(wxString::FromUTF8(detail));
        return box.ShowModal();
    });
}

}  // namespace moxtrel::widgets
