#include "ui/WindowRules.h"

#include <utility>

#include <wx/window.h>

namespace moxtrel::gui {

void FocusNextStep(wxWindow& dialog, std::initializer_list<int> nextSteps) {
    for (int id : nextSteps) {
        wxWindow* control = dialog.FindWindow(id);
        if (control && control->IsShown() && control->IsEnabled()) {
            control->SetFocus();
            return;
        }
    }
}

bool CloseDuringWork::Hold() {
    if (m_working == 0) return false;
    m_held = true;
    return true;
}

bool CloseDuringWork::TakeHeld() { return m_working == 0 && std::exchange(m_held, false); }

}  // namespace moxtrel::gui
