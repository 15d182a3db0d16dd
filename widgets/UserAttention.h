#pragma once
// Drawing the user's eye to a dialog that has news by flashing its caption:
// each flash switches the title between its plain and its marked form. A
// seam lets tests count the flashes instead.

#include <functional>

class wxTopLevelWindow;

namespace moxtrel::widgets {

// `invert` true switches the caption once (plain to marked or back); false
// returns it to its plain form.
void FlashWindow(wxTopLevelWindow& window, bool invert);

using FlashHandler = std::function<void(wxTopLevelWindow& window, bool invert)>;
// Replaces what FlashWindow does; returns the handler that was in place. An
// empty handler restores the real request.
FlashHandler SetFlashHandler(FlashHandler handler);

}  // namespace moxtrel::widgets
