#pragma once
// The WAD File Info box: the summary of a package that was just written, its
// file name, size in KB, number of entries, and simple and animated textures.

#include <cstdint>
#include <string>

#include <wx/dialog.h>

namespace moxtrel {

class CWadInfoDlg : public wxDialog {
public:
    // Control IDs of the WadFileInfo resource.
    enum : int {
        IdFileSize = 1016,
        IdTotal = 1017,
        IdSimple = 1018,
        IdAnimated = 1019,
        IdFileName = 1021,
    };

    // With no owner given, the box is shown over the program's main window.
    explicit CWadInfoDlg(wxWindow* pParent = nullptr);

    // The name without its directory, the length in bytes and the three
    // counts; the length is shown in whole KB, rounded down.
    void SetInfo(const std::string& fileName, std::int64_t length, int total, int simple, int animated);

private:
    bool TransferDataToWindow() override;

    // The five texts, all empty until SetInfo.
    wxString m_strAnimated;
    wxString m_strFileSize;
    wxString m_strSimple;
    wxString m_strTotal;
    wxString m_strFileName;
};

}  // namespace moxtrel
