// The two ways to find the game directory: Manual Locate (the Locate dialog's
// directory tree) and Search (the Search dialog's drive scan).

#include "ui/MoxtrelDlg.h"

namespace moxtrel {

// Until the Locate dialog exists, Manual Locate finds nothing: the dialog
// stays in its Game chosen state.
void CMoxtrelDlg::OnManualLocate(wxCommandEvent&) {}

// Until the Search dialog exists, Search finds nothing: the dialog stays in
// its Game chosen state.
void CMoxtrelDlg::OnSearch(wxCommandEvent&) {}

}  // namespace moxtrel
