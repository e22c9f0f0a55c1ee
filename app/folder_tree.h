#pragma once

#include "filesystem.h"
#include "held_folder.h"

#include "keyboard_focus_list_view.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace app {

class FolderTreeModel;

// The folder tree: the open folder's ancestors from its root ("/", "C:\") down, then its
// subfolders one level deeper. The open folder is the selected entry. Double click or Enter
// opens the entry under the cursor; a single click or an arrow key only moves the cursor.
class FolderTree final : public KeyboardFocusListView {
    Q_OBJECT
public:
    // The open folder's files read with its subfolders; nothing where they were not read.
    using FilesRead = std::optional<std::vector<std::filesystem::path>>;

    explicit FolderTree(QWidget* parent);
    Q_DISABLE_COPY_MOVE(FolderTree)

    // The open folder: a root ("/", "C:\") ends in the separator, every other folder has none.
    const std::filesystem::path& Path() const { return open_; }
    // Where a drive's mount path written as the path leads: that drive's current folder, or
    // nothing for a path that is not a drive's.
    using DriveFolder = std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)>;
    void SetDriveFolder(DriveFolder driveFolder) { driveFolder_ = std::move(driveFolder); }
    // Opens the folder, or for a drive's mount path that drive's current folder. Raises Change
    // before returning when the open folder changes. Throws commands::FsError when the folder
    // cannot be read; the tree then stays as it was.
    void SetPath(const std::filesystem::path& folderOrDrive);
    // Opens exactly this folder (never a drive's current folder); otherwise like setPath.
    void OpenFolder(const std::filesystem::path& folder);
    // Opens the folder's nearest ancestor that can be opened, else the fallback; where none
    // can, the tree shows nothing.
    void OpenNearestAncestor(const std::filesystem::path& folder,
                             const std::filesystem::path& fallback = {});
    // What the open folder is: the folder that the commands act on.
    commands::FolderIdentity Identity() const { return held_.Identity(); }
    // Reads the folders shown again from disk. The open folder is known by what it is: where
    // it was renamed in its parent (looked for first under the names in `renamedTo`), the tree
    // follows it to its new path (raising Change); where it was deleted, moved elsewhere (a
    // Trash included) or unmounted, the tree opens its nearest ancestor that is there. A
    // folder that another program put at its old path is never taken for it. An open folder
    // that cannot be read keeps its path, and the tree shows its nearest readable ancestor's
    // subfolders. Returns the open folder's files, read in the same pass, where it stayed
    // where it was and could be read; Change carries them where it moved.
    FilesRead Refresh(const std::vector<std::filesystem::path>& renamedTo = {});
    // How an entry tells a screen reader its level in the tree; %1 stands for it, from 1.
    void SetLevelText(const QString& text);

Q_SIGNALS:
    // The open folder changed; its files, read in the same pass as its subfolders, for the
    // file list to show without reading the folder again (nothing where it could not be read).
    void Change(const app::FolderTree::FilesRead& files);
    // A folder was opened, whether or not it was the open one already.
    void Opened(const std::filesystem::path& folder);
    // The user opened an entry (double click or Enter); the window opens it with OpenFolder.
    void OpenRequested(const std::filesystem::path& folder);
    // The user asked to open a subfolder whose listed name is not one name: joined to the
    // open folder, it would name another folder. It is not opened.
    void OpenRefused(const std::filesystem::path& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Clicks and arrow keys move the cursor only: the selection stays on the open folder.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void RequestOpen(const QModelIndex& index);
    void Show(const std::filesystem::path& folder, commands::FolderEntries entries);
    void MarkOpen(const std::filesystem::path& cursorOn);

    DriveFolder driveFolder_;
    FolderTreeModel* model_;
    std::filesystem::path open_;
    commands::HeldFolder held_;
};

} // namespace app
