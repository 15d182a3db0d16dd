#pragma once
// The window side of the sinks through which long work on the user-interface
// thread reports: a status text that repaints at once, a progress bar, and
// message boxes owned by a dialog. While the work runs, the sinks let the
// windows repaint and the animations move (paint and timer events only), so
// that clicks and keys wait until the work is done.

#include <functional>

#include <wx/msgdlg.h>
#include <wx/generic/msgdlgg.h>

#include "platform/Sinks.h"

class wxGauge;
class wxSizer;
class wxWindow;

namespace moxtrel::widgets {

// Processes pending paint and timer events, but no user input. `always`
// forces a pass; otherwise passes are at most ~30 ms apart, so that frequent
// calls from a tight loop cost little.
void KeepWindowsPainted(bool always = false);

// Runs `showModal` (a message box or a modal dialog shown over `owner`) with
// the normal cursor and without `owner` holding the mouse, so the box can be
// used while `owner` is busy; the busy state comes back afterwards.
int ShowModalOverBusyWindow(wxWindow& owner, const std::function<int()>& showModal);

// Wait cursor and mouse capture on `window` for the life of the object.
class BusyWindow {
public:
    explicit BusyWindow(wxWindow& window);
    ~BusyWindow();
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    wxWindow& m_window;
};

// Sets the text of a static control and shows it at once.
class StatusTextSink : public StatusSink {
public:
    explicit StatusTextSink(wxWindow& control) : m_control(control) {}
    void SetStatus(const std::string& text) override;

private:
    wxWindow& m_control;
};

// Drives a progress bar. Positions are kept within the range, and a step at
// the end of the range stays there.
class GaugeProgressSink : public ProgressSink {
public:
    explicit GaugeProgressSink(wxGauge& gauge) : m_gauge(gauge) {}
    void SetRange(int upper) override;
    void SetPosition(int position) override;
    void Step() override;

private:
    wxGauge& m_gauge;
};

// A message box drawn by wx, not by the toolkit, whose own box shows no
// icon: an OK button alone, the warning icon for wxICON_EXCLAMATION, centred
// over its owner, and wide enough for the window manager to show its whole
// caption.
class MessageDialog : public wxGenericMessageDialog {
public:
    MessageDialog(wxWindow& owner, const wxString& text, const wxString& caption, long style);

protected:
    void AddMessageDialogDetails(wxSizer* sizer) override;
};

// Shows each message in a modal box owned by `owner`: an OK button alone,
// with the exclamation icon for MessageKind::Exclamation.
class DialogMessageSink : public MessageSink {
public:
    explicit DialogMessageSink(wxWindow& owner) : m_owner(owner) {}
    using MessageSink::ShowMessage;
    // The detail (the file and the reason) stands below the text, in the
    // box's smaller second line.
    void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                     const std::string& detail) override;

private:
    wxWindow& m_owner;
};

// The windows show no warnings about skipped maps; a warning is only a
// chance to repaint.
class QuietWarningSink : public WarningSink {
public:
    void Warn(const std::string&, const std::string&, const std::string&) override { KeepWindowsPainted(); }
};

}  // namespace moxtrel::widgets
