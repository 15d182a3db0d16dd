#pragma once
// What the window tests of the Locate and Search dialogs share: running a
// dialog's real modal loop with a script inside it, the keys and ticks a
// user gives, and a count of the caption's flashes.

#include <functional>
#include <vector>

#include <wx/dialog.h>

#include "ui/DirTreeCtrl.h"
#include "ui/GuiTest.h"
#include "ui/MoxtrelDlg.h"
#include "widgets/UserAttention.h"

namespace moxtrel::test {

// Shows `dialog` modally and runs `inside` once its loop is going; `inside`
// should end the dialog (if it does not, the dialog is ended with -1).
// Returns what ShowModal returned.
int RunModal(wxDialog& dialog, const std::function<void()>& inside);

// Runs the loop of the modal dialog now running until `done` holds or
// `seconds` have passed; false when time ran out.
bool WaitUntil(const std::function<bool()>& done, double seconds);

void PressEscape(wxWindow& dialog);
void Tick(wxWindow& dialog, int id, bool checked);

// The tree of drives and folders of a Locate dialog.
locate::CDirTreeCtrl& TreeOf(const wxDialog& locateDialog);

// Manual Locate on the main dialog, a game being chosen: the Locate dialog
// opens found, the root of the first fixed drive holding the game, and is
// accepted.
void LocateOnFirstFixedDrive(ui::CMoxtrelDlg& dlg);

// Every FlashWindow request while the object lives: true asks for
// attention, false turns a flash back.
class FlashRecorder {
public:
    FlashRecorder();
    ~FlashRecorder();
    std::vector<bool> flashes;

private:
    widgets::FlashHandler m_previous;
};

}  // namespace moxtrel::test
