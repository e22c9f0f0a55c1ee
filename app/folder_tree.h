#pragma once

#include "filesystem.h"

#include <QtWidgets/QListView>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace app {

class FolderTreeModel;

// The folder tree: the open folder's ancestors from its root ("/", "C:\") down, then its
// subfolders one level deeper. Double click or Enter opens an entry; a single click only
// highlights it.
class FolderTree final : public QListView {
    Q_OBJECT
public:
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
    // What the open folder was when it was read: the folder that the commands act on.
    const commands::FolderIdentity& Identity() const { return identity_; }
    // Reads the folders shown again from disk. An open folder that has vanished keeps its path,
    // and the tree shows its ancestors that are still there, with the nearest one's subfolders.
    // Where the path now names another folder, that folder is the open one from now on. The
    // open folder's files, read in the same pass, can then be taken with TakeFilesRead.
    void Refresh();
    // The files of the folder just opened, read in the same pass as its subfolders, for the
    // file list to show without reading the folder again; nothing once taken or for another
    // folder.
    std::optional<std::vector<std::filesystem::path>> TakeFilesRead(
        const std::filesystem::path& folder);

Q_SIGNALS:
    // The open folder changed.
    void Change();
    // A folder was opened, whether or not it was the open one already.
    void Opened(const std::filesystem::path& folder);
    // The user opened an entry (double click or Enter); the window opens it with OpenFolder.
    void OpenRequested(const std::filesystem::path& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void RequestOpen(const QModelIndex& index);

    DriveFolder driveFolder_;
    FolderTreeModel* model_;
    std::filesystem::path open_;
    commands::FolderIdentity identity_;
    std::filesystem::path filesReadOf_;
    std::optional<std::vector<std::filesystem::path>> filesRead_;
};

} // namespace app
