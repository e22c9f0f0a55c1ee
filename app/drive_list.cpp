#include "drive_list.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSet>
#include <QtCore/QStorageInfo>

#include <algorithm>

namespace app {

namespace {

// File systems that hold no user files: kernel views, memory-backed scratch areas, automounters.
bool IsPseudoFileSystem(const QByteArray& type)
{
    static const QSet<QByteArray> pseudo = {
        "autofs",   "binfmt_misc", "bpf",     "cgroup",     "cgroup2",   "configfs",
        "debugfs",  "devpts",      "devtmpfs", "efivarfs",  "fusectl",   "hugetlbfs",
        "mqueue",   "nsfs",        "proc",    "pstore",     "ramfs",     "rpc_pipefs",
        "securityfs", "selinuxfs", "squashfs", "sysfs",     "tmpfs",     "tracefs",
        "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.contains(type);
}

bool IsSystemArea(const QString& mountPath)
{
    for (const char* area : {"/proc", "/sys", "/dev", "/run"})
        if (mountPath == QLatin1String(area) || mountPath.startsWith(QLatin1String(area) + u'/'))
            return !mountPath.startsWith(QLatin1String("/run/media/"));
    return false;
}

bool IsUnder(const DriveList::Path& folder, const DriveList::Path& mount)
{
    const std::string& f = folder.native();
    const std::string& m = mount.native();
    if (m == "/")
        return !f.empty() && f.front() == '/';
    return f == m || (f.size() > m.size() && f.compare(0, m.size(), m) == 0 && f[m.size()] == '/');
}

} // namespace

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent), workingDir_(QFile::encodeName(QDir::currentPath()).toStdString())
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

std::vector<DriveList::Volume> DriveList::ReadVolumes(const Path& workingDir)
{
    const QStorageInfo working(QFile::decodeName(QByteArray::fromStdString(workingDir.native())));
    std::vector<Volume> volumes;
    QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    if (working.isValid())
        mounted.append(working);  // Qt leaves some out, such as volumes under /dev
    for (const QStorageInfo& info : mounted) {
        const QString root = info.rootPath();
        const bool holdsWorkingDir = working.isValid() && root == working.rootPath();
        if (!holdsWorkingDir &&
            (!info.isValid() || !info.isReady() || IsPseudoFileSystem(info.fileSystemType()) ||
             IsSystemArea(root) || !QFileInfo(root).isDir()))
            continue;
        Path mount(QFile::encodeName(root).toStdString());
        if (std::any_of(volumes.begin(), volumes.end(),
                        [&](const Volume& v) { return v.mountPath == mount; }))
            continue;  // the same mount point stacked more than once
        volumes.push_back({std::move(mount), info.name()});
    }
    if (std::none_of(volumes.begin(), volumes.end(),
                     [](const Volume& v) { return v.mountPath == "/"; }))
        volumes.push_back({"/", QString()});
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
        if ((a.mountPath == "/") != (b.mountPath == "/"))
            return a.mountPath == "/";
        return a.mountPath.native() < b.mountPath.native();
    });
    return volumes;
}

void DriveList::FillItems()
{
    const QSignalBlocker blocker(this);
    clear();
    for (const Volume& volume : volumes_) {
        QString text = QFile::decodeName(QByteArray::fromStdString(volume.mountPath.native()));
        if (!volume.label.isEmpty())
            text += QStringLiteral(" [%1]").arg(volume.label);
        addItem(text);
    }
}

DriveList::Path DriveList::Drive() const
{
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(volumes_.size()) ? volumes_[index].mountPath
                                                                   : Path("/");
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
    Select(IsDrive(selected) ? selected : Path("/"));
    QComboBox::showPopup();
}

// The listed drive whose mount path is the longest one holding the folder.
DriveList::Path DriveList::DriveOf(const Path& folder) const
{
    Path best("/");
    for (const Volume& volume : volumes_)
        if (IsUnder(folder, volume.mountPath) &&
            volume.mountPath.native().size() > best.native().size())
            best = volume.mountPath;
    return best;
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
