#include "drive_list.h"

#include "folder_paths.h"
#include "native_names.h"

#include <QtCore/QDir>

#include <algorithm>

namespace app {

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent), workingDir_(NativePath(QDir::currentPath()))
{
    volumes_ = ReadVolumes(workingDir_);
    FillItems();
    Select(DriveOf(workingDir_));
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index == shownIndex_)
            return;
        shownIndex_ = index;
        Q_EMIT Change();
    });
}

void DriveList::FillItems()
{
    const QSignalBlocker blocker(this);
    clear();
    for (const Volume& volume : volumes_) {
        QString text = DisplayName(volume.mountPath);
        if (!volume.label.isEmpty())
            text += QStringLiteral(" [%1]").arg(volume.label);
        addItem(text);
    }
}

DriveList::Path DriveList::Drive() const
{
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(volumes_.size()) ? volumes_[index].mountPath
                                                                   : FirstDrive();
}

// The drive listed first: "/" on Linux.
DriveList::Path DriveList::FirstDrive() const
{
    return volumes_.empty() ? Path() : volumes_.front().mountPath;
}

bool DriveList::IsDrive(const Path& path) const
{
    return std::any_of(volumes_.begin(), volumes_.end(),
                       [&](const Volume& v) { return v.mountPath == path; });
}

DriveList::Path DriveList::CurrentFolder(const Path& drive) const
{
    Path folder = drive;
    if (const auto found = currentFolders_.find(drive); found != currentFolders_.end())
        folder = found->second;
    else if (!workingDir_.empty() && DriveOf(workingDir_) == drive)
        folder = workingDir_;
    // A current folder deleted or renamed since: its nearest ancestor still there on that drive.
    std::error_code error;
    while (folder != drive && folder != folder.parent_path() &&
           !std::filesystem::is_directory(folder, error))
        folder = folder.parent_path();
    return folder;
}

void DriveList::FolderOpened(const Path& folder)
{
    currentFolders_[DriveOf(folder)] = folder;
    ShowDriveOf(folder);
}

void DriveList::ShowDriveOf(const Path& folder) { Select(DriveOf(folder)); }

void DriveList::showPopup()
{
    // Drives come and go while the program runs: list the ones mounted now.
    const Path selected = Drive();
    volumes_ = ReadVolumes(workingDir_);
    FillItems();
    Select(IsDrive(selected) ? selected : FirstDrive());
    QComboBox::showPopup();
}

// The listed drive whose mount path is the longest one holding the folder, else the first one.
DriveList::Path DriveList::DriveOf(const Path& folder) const
{
    Path best;
    for (const Volume& volume : volumes_)
        if (IsUnder(folder, volume.mountPath) &&
            volume.mountPath.native().size() > best.native().size())
            best = volume.mountPath;
    return best.empty() ? FirstDrive() : best;
}

void DriveList::Select(const Path& drive)
{
    for (int i = 0; i < static_cast<int>(volumes_.size()); ++i) {
        if (volumes_[i].mountPath == drive) {
            const QSignalBlocker blocker(this);
            setCurrentIndex(i);
            shownIndex_ = i;
            return;
        }
    }
}

} // namespace app
