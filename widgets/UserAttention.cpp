#include "widgets/UserAttention.h"

#include <utility>

#include <wx/evtloop.h>
#include <wx/toplevel.h>

namespace moxtrel::widgets {

namespace {

FlashHandler& CurrentHandler() {
    static FlashHandler handler;
    return handler;
}

// A flashed caption: the title between two marks. The window manager shows
// the title in the window's frame, so the flash is seen whatever the window
// manager does with requests for attention (most ignore them for the active
// window).
const wxString FlashOpen = wxString::FromUTF8("\u00bb\u00bb ");
const wxString FlashClose = wxString::FromUTF8(" \u00ab\u00ab");

bool IsFlashed(const wxString& title) { return title.StartsWith(FlashOpen) && title.EndsWith(FlashClose); }

wxString Unflashed(const wxString& title) {
    return title.Mid(FlashOpen.length(), title.length() - FlashOpen.length() - FlashClose.length());
}

}  // namespace

void FlashWindow(wxTopLevelWindow& window, bool invert) {
    if (const FlashHandler& handler = CurrentHandler()) {
        handler(window, invert);
        return;
    }
    const wxString title = window.GetTitle();
    if (!invert) {
        if (IsFlashed(title)) window.SetTitle(Unflashed(title));
        return;
    }
    window.SetTitle(IsFlashed(title) ? Unflashed(title) : FlashOpen + title + FlashClose);
    // A window behind others also asks for the user's attention; wx asks
    // through the running event loop, so without one there is nothing to ask.
    if (!window.IsActive() && wxEventLoopBase::GetActive()) window.RequestUserAttention(wxUSER_ATTENTION_INFO);
}

FlashHandler SetFlashHandler(FlashHandler handler) { return std::exchange(CurrentHandler(), std::move(handler)); }

}  // namespace moxtrel::widgets
