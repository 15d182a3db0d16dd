#include "ui/FindingDialog.h"

#include "widgets/UserAttention.h"

namespace moxtrel::locate {

namespace {
constexpr int FlashTicksToStop = 3;
}  // namespace

CFindingDialog::CFindingDialog(int& flashTicks) : m_flashTicks(flashTicks), m_timer(this, FlashTimerId) {
    Bind(wxEVT_TIMER, &CFindingDialog::OnTimer, this);
    Bind(wxEVT_CLOSE_WINDOW, &CFindingDialog::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &CFindingDialog::OnCharHook, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CFindingDialog::OnMouseCaptureLost, this);
    // Both dialogs close by button 1032 in every state.
    widgets::KeepKeyboardAlive(*this, {CloseButtonId});
}

void CFindingDialog::StartFlashing() {
    widgets::FlashWindow(*this, true);
    m_timer.Start(FlashIntervalMs);
}

void CFindingDialog::OnTimer(wxTimerEvent& event) {
    widgets::FlashWindow(*this, true);
    if (m_flashTicks == FlashTicksToStop) {
        m_timer.Stop();
        widgets::FlashWindow(*this, false);
    } else {
        ++m_flashTicks;
    }
    event.Skip();
}

void CFindingDialog::CloseAsFoundOrCancelled() {
    if (m_bFound) {
        OnOK();
    } else {
        OnCancel();
    }
}

void CFindingDialog::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && m_closeDuringWork.Hold()) {
        event.Veto();
        return;
    }
    CloseAsFoundOrCancelled();
}

// Escape cancels in every state, even after a find.
void CFindingDialog::OnCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers()) {
        OnCancel();
        return;
    }
    event.Skip();
}

void CFindingDialog::OnOK() {
    if (TransferDataFromWindow()) EndDialog(wxID_OK);
}

void CFindingDialog::OnCancel() {
    EndDialog(wxID_CANCEL);
}

void CFindingDialog::EndDialog(int result) {
    SetReturnCode(result);
    if (IsModal()) {
        EndModal(result);
    } else {
        Hide();
    }
}

}  // namespace moxtrel::locate
