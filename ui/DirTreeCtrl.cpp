#include "ui/DirTreeCtrl.h"

#include <algorithm>
#include <vector>

#include <wx/settings.h>

#include "platform/Text.h"
#include "platform/Volumes.h"
#include "ui/PathText.h"

namespace moxtrel::locate {

using platform::DriveType;

namespace {

// Folders stand in alphabetical order, the way people read them: without
// regard to case, byte order only between names that differ in case alone.
bool ComesBefore(const std::string& a, const std::string& b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        int left = static_cast<unsigned char>(platform::AsciiLower(a[i]));
        int right = static_cast<unsigned char>(platform::AsciiLower(b[i]));
        if (left != right) return left < right;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

int ImageOfDrive(DriveType type) {
    switch (type) {
        case DriveType::Removable: return CDirTreeCtrl::ImageRemovable;
        case DriveType::Fixed: return CDirTreeCtrl::ImageFixed;
        case DriveType::Remote: return CDirTreeCtrl::ImageRemote;
        case DriveType::CdRom: return CDirTreeCtrl::ImageCdRom;
        case DriveType::RamDisk: return CDirTreeCtrl::ImageRamDisk;
        default: return -1;
    }
}

}  // namespace

CDirTreeCtrl::CDirTreeCtrl(const platform::Drives& drives) : m_drives(drives) {}

bool CDirTreeCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    const long style = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxBORDER_SUNKEN;
    if (!wxTreeCtrl::Create(parent, id, pos, size, style)) return false;
    AddRoot(wxString());
    Bind(wxEVT_TREE_ITEM_EXPANDING, &CDirTreeCtrl::OnItemExpanding, this);
    Bind(wxEVT_TREE_ITEM_COLLAPSING, &CDirTreeCtrl::OnItemExpanding, this);
    Bind(wxEVT_SET_CURSOR, &CDirTreeCtrl::OnSetCursor, this);
    return true;
}

int CDirTreeCtrl::FillDrives() {
    m_driveTable = m_drives.ReadTable();
    int added = 0;
    for (const platform::Volume& volume : m_driveTable.Volumes()) {
        if (AddDrive(volume.root)) ++added;
    }
    return added;
}

bool CDirTreeCtrl::AddDrive(const std::string& root) {
    const DriveType type = m_driveTable.GetDriveType(root);
    const int image = ImageOfDrive(type);
    if (image < 0) return false;
    const wxTreeItemId item = AppendItem(GetRootItem(), PathToText(root), image, image);

    switch (type) {
        case DriveType::Fixed:
            AddPlaceholderIfNeeded(item, root);
            if (m_bSelectFirstFixed) {
                // Selecting makes the Locate dialog test this drive at once;
                // opening lists its root.
                SelectItem(item);
                Expand(item);
                m_bSelectFirstFixed = false;
            }
            return true;
        case DriveType::Remote:
        case DriveType::RamDisk: AddPlaceholderIfNeeded(item, root); return true;
        default:
            // A removable drive or disc is not read until the user opens it;
            // only the medium in it is noted.
            AddPlaceholder(item);
            m_dwVolumeSerial.Remember(m_driveTable, root);
            return true;
    }
}

platform::VolumeFence CDirTreeCtrl::FenceOf(const wxTreeItemId& item) const {
    return platform::VolumeFence(GetItemPath(GetDriveItem(item)), m_driveTable.MountPoints());
}

bool CDirTreeCtrl::HasSubFolders(const wxTreeItemId& item, const std::string& path) const {
    return locate::HasSubFolders(path, FenceOf(item));
}

void CDirTreeCtrl::AddPlaceholderIfNeeded(const wxTreeItemId& item, const std::string& path) {
    if (HasSubFolders(item, path)) AddPlaceholder(item);
}

wxTreeItemId CDirTreeCtrl::AddPlaceholder(const wxTreeItemId& parent) {
    return AppendItem(parent, wxString(), ImageFixed, ImageFixed);
}

int CDirTreeCtrl::FillFolder(const wxTreeItemId& item, const std::string& path) {
    const platform::VolumeFence fence = FenceOf(item);
    std::vector<std::string> names;
    if (!ListSubFolders(path, fence, names)) {
        // A drive keeps its button, so it can be tried again (a disc put in).
        if (IsDriveItem(item)) AddPlaceholder(item);
        return 0;
    }
    std::sort(names.begin(), names.end(), ComesBefore);
    for (const std::string& name : names) {
        const wxTreeItemId folder = AppendItem(item, PathToText(name), ImageFolder, ImageOpenFolder);
        // Each new folder costs one probe, which stops at its first sub-folder.
        if (locate::HasSubFolders(platform::JoinPath(path, name), fence)) AddPlaceholder(folder);
    }
    return static_cast<int>(names.size());
}

bool CDirTreeCtrl::IsDriveItem(const wxTreeItemId& item) const {
    return item.IsOk() && item != GetRootItem() && GetItemParent(item) == GetRootItem();
}

wxTreeItemId CDirTreeCtrl::GetDriveItem(const wxTreeItemId& item) const {
    wxTreeItemId drive = item;
    while (drive.IsOk() && drive != GetRootItem() && GetItemParent(drive) != GetRootItem()) {
        drive = GetItemParent(drive);
    }
    return drive;
}

std::string CDirTreeCtrl::GetItemPath(const wxTreeItemId& item) const {
    std::string path;
    for (wxTreeItemId at = item; at.IsOk() && at != GetRootItem(); at = GetItemParent(at)) {
        std::string text = TextToPath(GetItemText(at));
        if (!path.empty() && !platform::EndsWithSeparator(text)) text += platform::Separator;
        path.insert(0, text);
    }
    return path;
}

std::string CDirTreeCtrl::GetNotifyItemPath(const wxTreeEvent& event) const {
    return GetItemPath(event.GetItem());
}

std::uint32_t CDirTreeCtrl::GetVolumeSerial(const std::string& root) const {
    // The serial of the medium in the drive now, as the media check sees it.
    return m_drives.ReadTable().GetVolumeSerial(root);
}

bool CDirTreeCtrl::IsSameMedia(const std::string& path) {
    // Only removable drives and discs change their media; the others need no
    // look at the drives.
    const DriveType type = m_driveTable.GetDriveType(path);
    if (type != DriveType::Removable && type != DriveType::CdRom) return true;
    // The medium may have changed since the tree was filled: judge it on a
    // snapshot of the drives as they are now.
    return m_dwVolumeSerial.IsSameMedia(m_drives.ReadTable(), path);
}

bool CDirTreeCtrl::FolderExists(const std::string& path) {
    return locate::FolderExists(path);
}

void CDirTreeCtrl::OnItemExpanding(wxTreeEvent& event) {
    if (m_resettingDrive) return;
    const wxTreeItemId item = event.GetItem();
    const bool opening = event.GetEventType() == wxEVT_TREE_ITEM_EXPANDING;
    const std::string path = GetItemPath(item);

    if (!IsSameMedia(path)) {
        // Whatever is shown of the drive belongs to the old medium.
        const wxTreeItemId drive = GetDriveItem(item);
        m_resettingDrive = true;
        Collapse(drive);
        m_resettingDrive = false;
        DeleteChildren(drive);
        AddPlaceholder(drive);
        event.Veto();
        return;
    }
    if (!FolderExists(path)) {
        Delete(item);
        event.Veto();
        return;
    }
    // Opening reads the folder afresh; closing throws the branch away.
    DeleteChildren(item);
    if (opening) {
        if (FillFolder(item, path) == 0) event.Veto();
    } else if (IsDriveItem(item)) {
        AddPlaceholder(item);
    } else {
        AddPlaceholderIfNeeded(item, path);
    }
}

// The tree draws its items itself and would look the same locked: a locked
// tree is drawn greyed, as a disabled control is.
void CDirTreeCtrl::DoEnable(bool enable) {
    wxTreeCtrl::DoEnable(enable);
    SetBackgroundColour(enable ? wxNullColour : wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    SetForegroundColour(enable ? wxNullColour : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    Refresh();
}

// The tree never chooses a pointer of its own: the pointer keeps the shape
// it had when it came in (the hourglass while the drives are read).
void CDirTreeCtrl::OnSetCursor(wxSetCursorEvent&) {}

}  // namespace moxtrel::locate
