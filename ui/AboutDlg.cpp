#include "ui/AboutDlg.h"

#include "res/DialogResources.h"

namespace moxtrel::ui {

CAboutDlg::CAboutDlg(wxWindow* pParent) { res::LoadDialog(*this, pParent, res::DialogAbout); }

}  // namespace moxtrel::ui
