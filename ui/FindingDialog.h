#pragma once
// What the Locate and the Search dialog share: a search that ends in a found
// state, the caption flashing when it does, and the closing rules that follow
// from it. The close button and the close box accept in the found state and
// cancel in any other; Escape always cancels.

#include <wx/timer.h>

#include "widgets/ModalDialog.h"

namespace moxtrel::locate {

class FindingDialog : public widgets::ModalDialog {
protected:
    // Each kind keeps its own count of flash ticks over the whole process.
    enum class Kind { Locate, Search };

    // The flash ticks of dialogs of `kind` so far in the process.
    static int FlashTicks(Kind kind);

    // The count of `kind` is never reset, so only the first found state of a
    // process flashes all four ticks and later ones stop at their first.
    explicit FindingDialog(Kind kind);

    // Whether the search has found the game: the close button accepts.
    virtual bool IsFound() const = 0;
    // The found state begins: the caption flashes at once and on the timer.
    void StartFlashing();
    // The close button: accept when found, cancel otherwise.
    void CloseAsFoundOrCancelled();

private:
    static constexpr int FlashTimerId = 1;
    static constexpr int FlashIntervalMs = 400;
    // The close button: "&Cancel", or "&Ok" when found.
    static constexpr int CloseButtonId = 1032;

    static int& FlashTicksOf(Kind kind);
    void OnCloseRequest() override { CloseAsFoundOrCancelled(); }
    void OnTimer(wxTimerEvent& event);

    int& m_flashTicks;
    wxTimer m_timer;
};

}  // namespace moxtrel::locate
