#pragma once
// What every modal dialog of the program that does long work does with
// Escape and close requests. Escape (without modifiers) cancels. A close
// request (the close box, Alt+F4, the window menu's Close) is answered by
// OnCloseRequest, which cancels unless the dialog says otherwise. Long work
// on the user-interface thread lets paint and timer events through
// (KeepWindowsPainted), and with them the window manager's close request:
// such a request is held and answered when the work ends. A dialog shown
// without its own loop is hidden instead of ended.

#include <functional>

#include <wx/dialog.h>

namespace moxtrel::widgets {

class ModalDialog : public wxDialog {
protected:
    ModalDialog();

    // Saves the controls into the members and ends the dialog with OK.
    void OnOK();
    // Ends the dialog with Cancel.
    void OnCancel();
    // The answer to a close request once no work runs: Cancel.
    virtual void OnCloseRequest();

    // Runs `work`, long work that keeps the dialog open; a close request that
    // comes meanwhile is answered once it is over.
    void RunLongWork(const std::function<void()>& work);

private:
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    // The work captures the mouse; another program may take it, and the work
    // simply goes on without it.
    void OnMouseCaptureLost(wxMouseCaptureLostEvent&) {}
    void EndWith(int result);

    int m_workRunning = 0;
    bool m_closeHeld = false;
};

}  // namespace moxtrel::widgets
