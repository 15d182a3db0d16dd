#pragma once
// The About box: the program's icon, name and version, and two credit lines.

#include <wx/dialog.h>

namespace moxtrel::ui {

class CAboutDlg : public wxDialog {
public:
    // With no owner given, the box is shown over the program's main window.
    explicit CAboutDlg(wxWindow* pParent = nullptr);
};

}  // namespace moxtrel::ui
