#include "ui/WadInfoDlg.h"

#include "extract/WadSummaryText.h"
#include "res/DialogResources.h"

namespace moxtrel {

CWadInfoDlg::CWadInfoDlg(wxWindow* pParent) { res::LoadDialog(*this, pParent, res::DialogWadInfo); }

void CWadInfoDlg::SetInfo(const std::string& fileName, std::int64_t length, int total, int simple, int animated) {
    WadSummaryText text = FormatWadSummary(fileName, length, total, simple, animated);
    m_strAnimated = wxString::FromUTF8(text.animated);
    m_strFileSize = wxString::FromUTF8(text.fileSize);
    m_strSimple = wxString::FromUTF8(text.simple);
    m_strTotal = wxString::FromUTF8(text.total);
    m_strFileName = wxString::FromUTF8(text.fileName);
}

// Runs when the box opens, and fills its five value texts.
bool CWadInfoDlg::TransferDataToWindow() {
    const std::pair<int, const wxString*> texts[] = {
        {IdAnimated, &m_strAnimated}, {IdFileSize, &m_strFileSize}, {IdSimple, &m_strSimple},
        {IdTotal, &m_strTotal},       {IdFileName, &m_strFileName},
    };
    for (const auto& [id, text] : texts) FindWindow(id)->SetLabel(*text);
    return true;
}

}  // namespace moxtrel
