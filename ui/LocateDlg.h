#pragma once
// The Locate dialog: the user finds a game's directory by hand in the tree of
// drives and folders. Each selection is completed with the game's data
// sub-directory and tested for both archives; once they are there the dialog
// is found: the button reads "&Ok", the tree is locked and the caption
// flashes. The caller then reads the game directory back with GetPath.

#include <string>

#include <wx/imaglist.h>

#include "ui/DirTreeCtrl.h"
#include "ui/FindingDialog.h"

namespace moxtrel::locate {

class CLocateDlg : public FindingDialog {
public:
    // Control IDs of the Locate resource.
    enum : int {
        IdPrompt = 1006,
        IdPathText = 1012,
        IdTree = 1022,
        IdOkCancel = 1032,
    };
    // Lists `drives`, which must outlive the dialog.
    explicit CLocateDlg(const platform::Drives& drives, wxWindow* pParent = nullptr);
    ~CLocateDlg() override;

    // The prompt (UTF-8) and the game kind: 0 Quake, 1 Hexen II.
    void SetPrompt(const std::string& strPrompt, int nGame);
    // The game directory composed last; after wxID_OK it holds both archives
    // and ends with '/'.
    std::string GetPath() const { return m_strGameDir; }

    // The flashes of the found state counted over the whole process: only
    // the first found state flashes the full four ticks.
    static int FlashTickCount();

private:
    bool IsFound() const override { return m_bFound; }
    bool UpdateData(bool bSaveAndValidate = true);
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    void OnInitDialog(wxInitDialogEvent& event);
    void OnSelChangedTree(wxTreeEvent& event);
    void OnOkCancel(wxCommandEvent& event);

    // The selection's candidate holds both archives: the close button accepts.
    bool m_bFound = false;
    int m_nGame = 0;
    std::string m_strGameDir;
    wxImageList m_imageList;
    CDirTreeCtrl m_ctlTree;
    wxString m_strPathText;
    wxString m_strPrompt;
};

}  // namespace moxtrel::locate
