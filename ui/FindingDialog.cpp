#include "ui/FindingDialog.h"

#include <array>

#include "widgets/UserAttention.h"
#include "widgets/WindowRules.h"

namespace moxtrel::locate {

namespace {

constexpr int FlashTicksToStop = 3;

// The flash ticks of each dialog kind over the whole process, never reset.
std::array<int, 2> g_flashTicks{};

}  // namespace

int& FindingDialog::FlashTicksOf(Kind kind) { return g_flashTicks[static_cast<std::size_t>(kind)]; }

int FindingDialog::FlashTicks(Kind kind) { return FlashTicksOf(kind); }

FindingDialog::FindingDialog(Kind kind) : m_flashTicks(FlashTicksOf(kind)), m_timer(this, FlashTimerId) {
    Bind(wxEVT_TIMER, &FindingDialog::OnTimer, this);
    // Both dialogs close by button 1032 in every state.
    widgets::KeepKeyboardAlive(*this, {CloseButtonId});
}

void FindingDialog::StartFlashing() {
    widgets::FlashWindow(*this, true);
    m_timer.Start(FlashIntervalMs);
}

void FindingDialog::OnTimer(wxTimerEvent& event) {
    widgets::FlashWindow(*this, true);
    if (m_flashTicks == FlashTicksToStop) {
        m_timer.Stop();
        widgets::FlashWindow(*this, false);
    } else {
        ++m_flashTicks;
    }
    event.Skip();
}

void FindingDialog::CloseAsFoundOrCancelled() {
    if (IsFound()) {
        OnOK();
    } else {
        OnCancel();
    }
}

}  // namespace moxtrel::locate
