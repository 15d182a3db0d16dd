#pragma once
// Drawing the user's eye to a dialog that has news, as flashing its caption
// does elsewhere: the window manager is asked for the user's attention. A
// seam lets tests count the requests instead.

#include <functional>

class wxTopLevelWindow;

namespace moxtrel::gui {

// `invert` true asks for attention once; false (turning a flash back) does
// nothing, since the window manager takes the request back by itself.
void FlashWindow(wxTopLevelWindow& window, bool invert);

using FlashHandler = std::function<void(wxTopLevelWindow& window, bool invert)>;
// Replaces what FlashWindow does; returns the handler that was in place. An
// empty handler restores the real request.
FlashHandler SetFlashHandler(FlashHandler handler);

}  // namespace moxtrel::gui
