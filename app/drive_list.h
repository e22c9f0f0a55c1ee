#pragma once

#include "volumes.h"

#include <QtWidgets/QComboBox>

#include <filesystem>
#include <map>
#include <vector>

namespace app {

// The drive list: the volumes a user works with (on Linux "/" first, then by mount path in
// natural order; on Windows the ready drives, "C:\" and the like). On Linux it follows mounts
// and unmounts while the program runs.
// It remembers each drive's current folder, the folder last opened on it in this run.
class DriveList final : public QComboBox {
    Q_OBJECT
public:
    using Path = std::filesystem::path;

    // Lists the volumes and selects the one holding the working folder (exact bytes; empty when
    // there is none: then the first drive).
    DriveList(Path workingFolder, QWidget* parent);
    Q_DISABLE_COPY_MOVE(DriveList)

    // The mount path (a drive's root on Windows) of the selected drive.
    Path Drive() const;
    // True when the path is the mount path of a listed drive.
    bool IsDrive(const Path& path) const;
    // The drive's current folder: the folder last opened on it, else the working folder if it
    // lies on that drive, else the mount path.
    Path CurrentFolder(const Path& drive) const;
    // Notes a folder opened in the folder tree as its drive's current folder and shows that drive.
    void FolderOpened(const Path& folder);
    // Shows the drive that holds the folder, without raising Change.
    void ShowDriveOf(const Path& folder);

    void showPopup() override;

    // Has a screen reader find the list by its accessible name, with the drive as its value.
    static void InstallAccessibility();

Q_SIGNALS:
    // The user picked another drive.
    void Change();
    // The user picked the drive that is shown already.
    void Repicked();
    // A volume was mounted or unmounted. The list shows the volumes mounted now, with the
    // selected drive still selected if it is listed, else the drive that now holds its path.
    void VolumesChanged();

private:
    void MountsChanged();
    void Picked(int index);
    void Refill();
    void FillItems();
    Path FirstDrive() const;
    Path DriveOf(const Path& folder) const;
    void Select(const Path& drive);

    Path workingFolder_;
    std::vector<Volume> volumes_;
    std::map<Path, Path> currentFolders_;
    int shownIndex_ = -1;
};

} // namespace app
