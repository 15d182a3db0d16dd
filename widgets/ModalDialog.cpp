#include "widgets/ModalDialog.h"

#include <utility>

namespace moxtrel::widgets {

namespace {

// Counts the work for the life of the object, also when the work throws.
class WorkCount {
public:
    explicit WorkCount(int& count) : m_count(count) { ++m_count; }
    ~WorkCount() { --m_count; }
    WorkCount(const WorkCount&) = delete;
    WorkCount& operator=(const WorkCount&) = delete;

private:
    int& m_count;
};

}  // namespace

ModalDialog::ModalDialog() {
    Bind(wxEVT_CLOSE_WINDOW, &ModalDialog::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &ModalDialog::OnCharHook, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &ModalDialog::OnMouseCaptureLost, this);
}

void ModalDialog::OnOK() {
    if (TransferDataFromWindow()) EndWith(wxID_OK);
}

void ModalDialog::OnCancel() { EndWith(wxID_CANCEL); }

void ModalDialog::OnCloseRequest() { OnCancel(); }

void ModalDialog::RunLongWork(const std::function<void()>& work) {
    {
        WorkCount running(m_workRunning);
        work();
    }
    // The dialog stayed in sight through the work: a close asked for
    // meanwhile is answered as the work ends.
    if (m_workRunning == 0 && std::exchange(m_closeHeld, false)) OnCloseRequest();
}

void ModalDialog::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && m_workRunning > 0) {
        m_closeHeld = true;
        event.Veto();
        return;
    }
    OnCloseRequest();
}

void ModalDialog::OnCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers()) {
        OnCancel();
        return;
    }
    event.Skip();
}

void ModalDialog::EndWith(int result) {
    SetReturnCode(result);
    if (IsModal()) {
        EndModal(result);
    } else {
        Hide();
    }
}

}  // namespace moxtrel::widgets
