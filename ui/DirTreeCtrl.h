#pragma once
// The tree of drives and folders in which the user of the Locate dialog points
// at a directory. Drives are the top-level items, in drive order; a folder's
// sub-folders are read when it is opened, afresh every time, and closing a
// branch throws its items away. A collapsed item carries one empty
// placeholder child so that it shows an expand button. When the medium in a
// removable or CD-ROM drive changes, that drive's branch is reset. The tree
// reports nothing: a failure leaves a branch closed or removes an item.
//
// The drives are read once when the tree is filled; opening or closing a
// branch reads them again only to check the medium of a removable drive or a
// disc.
//
// Items carry no data; an item's path is rebuilt from its text and its
// ancestors' texts. The invisible root of the control stands for "no parent".

#include <cstdint>
#include <string>

#include <wx/treectrl.h>

#include "locate/FolderProbe.h"
#include "platform/Drives.h"

namespace moxtrel::locate {

class CDirTreeCtrl : public wxTreeCtrl {
public:
    // Indices of the drive and folder images (bitmap 134).
    enum Image : int {
        ImageFixed = 0,  // also the placeholder
        ImageRemovable = 1,
        ImageCdRom = 2,
        ImageRemote = 3,
        ImageRamDisk = 4,
        ImageFolder = 5,
        ImageOpenFolder = 6,
    };

    // Lists `drives`, which must outlive the tree.
    explicit CDirTreeCtrl(const platform::Drives& drives);
    // Creates the window with buttons, lines and lines at the root.
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

    // Lists the drives as top-level items; returns how many were added. The
    // first fixed drive is selected and opened.
    int FillDrives();
    // The path of the item a tree event is about.
    std::string GetNotifyItemPath(const wxTreeEvent& event) const;
    // A drive item gives its root ("/media/usb/"), a folder item its path
    // without a trailing '/' ("/games/Quake"); no item gives "".
    std::string GetItemPath(const wxTreeItemId& item) const;

    // Handlers of the tree's own opening and closing, and of the pointer.
    void OnItemExpanding(wxTreeEvent& event);
    void OnSetCursor(wxSetCursorEvent& event);

    bool AddDrive(const std::string& root);
    int FillFolder(const wxTreeItemId& item, const std::string& path);
    void AddPlaceholderIfNeeded(const wxTreeItemId& item, const std::string& path);
    bool HasSubFolders(const wxTreeItemId& item, const std::string& path) const;
    bool IsDriveItem(const wxTreeItemId& item) const;
    wxTreeItemId AddPlaceholder(const wxTreeItemId& parent);
    wxTreeItemId GetDriveItem(const wxTreeItemId& item) const;
    std::uint32_t GetVolumeSerial(const std::string& root) const;
    bool IsSameMedia(const std::string& path);
    static bool FolderExists(const std::string& path);

    // The serial last seen in the drive at `root`; NoVolumeSerial for none.
    std::uint32_t VolumeSerialSlot(const std::string& root) const { return m_dwVolumeSerial.Slot(root); }

protected:
    void DoEnable(bool enable) override;

private:
    // The drive a folder item lies on bounds every listing below it.
    platform::VolumeFence FenceOf(const wxTreeItemId& item) const;

    const platform::Drives& m_drives;
    // The drives as they were when the tree was filled.
    platform::DriveTable m_driveTable;
    MediaSerials m_dwVolumeSerial;
    bool m_bSelectFirstFixed = true;
    // Set while the tree collapses a drive itself after a change of media:
    // that collapse must not be judged again.
    bool m_resettingDrive = false;
};

}  // namespace moxtrel::locate
