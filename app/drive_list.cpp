#include "drive_list.h"

#include "folder_paths.h"
#include "mount_watch.h"
#include "path_text.h"
#include "shown_text.h"

#include <algorithm>
#include <ranges>

namespace app {

namespace {

// The folder written as the lists write folders; empty for a folder that is not absolute, which
// names no place on a drive.
std::filesystem::path NormalOrNone(const std::filesystem::path& folder)
{
    return folder.is_absolute() ? NormalFolder(folder) : std::filesystem::path();
}

bool SameVolumes(const std::vector<Volume>& a, const std::vector<Volume>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Volume& x, const Volume& y) {
        return x.mountPath == y.mountPath && x.label == y.label;
    });
}

} // namespace

DriveList::DriveList(Path workingFolder, QWidget* parent)
    : QComboBox(parent), workingFolder_(NormalOrNone(workingFolder))
{
    InstallAccessibility();
    volumes_ = ReadVolumes(workingFolder_);
    FillItems();
    Select(DriveOf(workingFolder_));
    connect(this, &QComboBox::activated, this, &DriveList::Picked);
    connect(new MountWatch(this), &MountWatch::Changed, this, &DriveList::MountsChanged);
}

void DriveList::MountsChanged()
{
    Refill();
    Q_EMIT VolumesChanged();
}

void DriveList::Picked(int index)
{
    if (index == shownIndex_) {
        Q_EMIT Repicked();
        return;
    }
    shownIndex_ = index;
    Q_EMIT Change();
}

// Lists the volumes mounted now. The selected drive stays selected while it is listed; once it
// is gone, the drive that now holds its path is.
void DriveList::Refill()
{
    const Path selected = Drive();
    std::vector<Volume> volumes = ReadVolumes(workingFolder_);
    if (SameVolumes(volumes, volumes_))
        return;  // an open popup stays as it is
    volumes_ = std::move(volumes);
    FillItems();
    Select(DriveOf(selected));
}

void DriveList::FillItems()
{
    const QSignalBlocker blocker(this);
    clear();
    shownIndex_ = -1;
    for (const Volume& volume : volumes_) {
        QString text = ShownName(volume.mountPath);
        if (!volume.label.isEmpty())
            text += QStringLiteral(" [%1]").arg(ShownText(volume.label));
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
    else if (!workingFolder_.empty() && DriveOf(workingFolder_) == drive)
        folder = workingFolder_;
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
    // Windows has no notice of drives coming and going: the list is read again when opened.
    Refill();
    QComboBox::showPopup();
}

// The listed drive whose mount path is the longest one holding the folder, else the first one.
DriveList::Path DriveList::DriveOf(const Path& folder) const
{
    const Path drive = InnermostRoot(std::views::transform(volumes_, &Volume::mountPath), folder);
    return drive.empty() ? FirstDrive() : drive;
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
