#pragma once
// What the Locate and the Search dialog share: a search that ends in a found
// state, the caption flashing when it does, and the closing rules that follow
// from it. The close button and the close box accept in the found state and
// cancel in any other; Escape always cancels.

#include <wx/dialog.h>
#include <wx/timer.h>

#include "widgets/WindowRules.h"

namespace moxtrel::locate {

class CFindingDialog : public wxDialog {
protected:
    // `flashTicks` is the dialog kind's own count of flash ticks over the
    // whole process; it is never reset, so only the first found state of a
    // run flashes all four ticks and later ones stop at their first.
    explicit CFindingDialog(int& flashTicks);

    // The found state begins: the caption flashes now and on the timer.
    void StartFlashing();
    // The close button: accept when found, cancel otherwise.
    void CloseAsFoundOrCancelled();

    // A close request during a scan waits for the scan to end.
    widgets::CloseDuringWork m_closeDuringWork;
    // The dialog kind's search has found the game: the close button accepts.
    bool m_bFound = false;

private:
    static constexpr int FlashTimerId = 1;
    static constexpr int FlashIntervalMs = 400;
    // The close button: "&Cancel", or "&Ok" when found.
    static constexpr int CloseButtonId = 1032;

    void OnOK();
    void OnCancel();
    void OnTimer(wxTimerEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    // The scan captures the mouse; a capture taken away needs no action.
    void OnMouseCaptureLost(wxMouseCaptureLostEvent&) {}
    // Ends the dialog, modal or not, with `result` as its return code.
    void EndDialog(int result);

    int& m_flashTicks;
    wxTimer m_timer;
};

}  // namespace moxtrel::locate
