#include "widgets/WindowRules.h"

#include <wx/toplevel.h>
#include <wx/window.h>

namespace moxtrel::widgets {

void FocusNextStep(wxWindow& dialog, const std::vector<int>& nextSteps) {
    for (int id : nextSteps) {
        wxWindow* control = dialog.FindWindow(id);
        if (control && control->IsShown() && control->IsEnabled()) {
            control->SetFocus();
            return;
        }
    }
}

void KeepKeyboardAlive(wxWindow& dialog, std::vector<int> nextSteps) {
    dialog.Bind(wxEVT_IDLE, [&dialog, nextSteps](wxIdleEvent& event) {
        event.Skip();
        auto* window = wxDynamicCast(&dialog, wxTopLevelWindow);
        if (!window || !window->IsActive()) return;
        wxWindow* focus = wxWindow::FindFocus();
        if (focus && focus->IsEnabled() && wxGetTopLevelParent(focus) == &dialog) return;
        FocusNextStep(dialog, nextSteps);
    });
}

}  // namespace moxtrel::widgets
