#include "ui/UserAttention.h"

#include <utility>

#include <wx/evtloop.h>
#include <wx/toplevel.h>

namespace moxtrel::gui {

namespace {

FlashHandler& CurrentHandler() {
    static FlashHandler handler;
    return handler;
}

}  // namespace

void FlashWindow(wxTopLevelWindow& window, bool invert) {
    if (const FlashHandler& handler = CurrentHandler()) {
        handler(window, invert);
        return;
    }
    // wx asks the running event loop to flash; without one (a window shown
    // before any loop runs) there is nothing to flash for.
    if (invert && wxEventLoopBase::GetActive()) window.RequestUserAttention(wxUSER_ATTENTION_INFO);
}

FlashHandler SetFlashHandler(FlashHandler handler) { return std::exchange(CurrentHandler(), std::move(handler)); }

}  // namespace moxtrel::gui
