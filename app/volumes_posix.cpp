#include "volumes.h"

#include "native_names.h"

#include <QtCore/QFileInfo>
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

} // namespace

std::vector<Volume> ReadVolumes(const std::filesystem::path& workingDir)
{
    const QStorageInfo working(DisplayName(workingDir));
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
        std::filesystem::path mount = NativePath(root);
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

} // namespace app
