#include "ui/AboutDlg.h"

#include "res/TemplateDialog.h"

namespace moxtrel {

CAboutDlg::CAboutDlg(wxWindow* pParent) { res::CreateDialogFromTemplate(*this, pParent, res::TemplateAbout); }

}  // namespace moxtrel
