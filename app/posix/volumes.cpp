#include "volumes.h"

#include "folder_paths.h"
#include "mount_info.h"
#include "path_text.h"
#include "natural_order.h"

#include <QtCore/QStorageInfo>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <ranges>

namespace app {

using std::filesystem::path;

namespace {

// File systems that hold no user files: kernel views, memory-backed scratch areas, automounters.
bool IsPseudoFileSystem(std::string_view type)
{
    static constexpr std::string_view pseudo[] = {
        "autofs",     "binfmt_misc", "bpf",      "cgroup",   "cgroup2", "configfs",
        "debugfs",    "devpts",      "devtmpfs", "efivarfs", "fusectl", "hugetlbfs",
        "mqueue",     "nsfs",        "proc",     "pstore",   "ramfs",   "rpc_pipefs",
        "securityfs", "selinuxfs",   "squashfs", "sysfs",    "tmpfs",   "tracefs",
        "fuse.gvfsd-fuse", "fuse.portal"};
    return std::find(std::begin(pseudo), std::end(pseudo), type) != std::end(pseudo);
}

// The kernel's and the system services' own areas; removable media mounted under /run/media
// are the user's.
bool IsSystemArea(const path& mountPoint)
{
    for (const char* area : {"/proc", "/sys", "/dev", "/run"})
        if (IsUnder(mountPoint, area))
            return !IsUnder(mountPoint, "/run/media") || mountPoint == "/run/media";
    return false;
}

bool HoldsUserFiles(const path& mountPoint, std::string_view type)
{
    std::error_code error;
    return !IsPseudoFileSystem(type) && !IsSystemArea(mountPoint) &&
           std::filesystem::is_directory(mountPoint, error);  // not a single file bound in place
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// A field of the mount table: the kernel writes space, tab, newline and backslash as "\040",
// "\011", "\012" and "\134"; every other byte stands for itself.
std::string DecodeField(std::string_view field)
{
    std::string bytes;
    bytes.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            bytes += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                       (field[i + 3] - '0'));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0; start <= line.size();) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// "36 35 98:0 /root /mount/point options [optional fields...] - type source super-options"
bool ParseMountLine(std::string_view line, MountEntry& entry)
{
    const std::vector<std::string_view> fields = SplitFields(line);
    constexpr std::size_t mountPointField = 4, firstOptionalField = 6;
    const auto separator = std::find(fields.begin() + std::min(firstOptionalField, fields.size()),
                                     fields.end(), "-");
    if (separator == fields.end() || separator + 1 == fields.end())
        return false;
    std::string mountPoint = DecodeField(fields[mountPointField]);
    if (mountPoint.empty() || mountPoint.front() != '/')
        return false;
    entry = {std::move(mountPoint), DecodeField(separator[1])};
    return true;
}

// The mount table's text; empty when it cannot be read.
std::string ReadMountInfo()
{
    std::ifstream table(mountTablePath, std::ios::binary);
    return {std::istreambuf_iterator<char>(table), std::istreambuf_iterator<char>()};
}

// The mounts from Qt where the system has no /proc: their paths are only as exact as Qt's text.
std::vector<MountEntry> MountsFromQt()
{
    std::vector<MountEntry> mounts;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes())
        mounts.push_back({NativePath(info.rootPath()), info.fileSystemType().toStdString()});
    return mounts;
}

// Each mount point once, with the type of its last mount: the one stacked on top, which is what
// its path shows.
std::map<path, std::string> TopMounts()
{
    const std::string text = ReadMountInfo();
    std::map<path, std::string> types;
    for (MountEntry& mount : text.empty() ? MountsFromQt() : ParseMountInfo(text))
        types[std::move(mount.mountPoint)] = std::move(mount.fileSystemType);
    return types;
}

// Qt reads mount paths as text, so it can only name a volume whose path that text holds exactly.
QString LabelOf(const path& mountPoint)
{
    const QString text = DisplayName(mountPoint);
    if (NativePath(text) != mountPoint)
        return {};
    const QStorageInfo info(text);
    return info.isValid() && info.rootPath() == text ? info.name() : QString();
}

void SortForDriveList(std::vector<Volume>& volumes)
{
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
        if ((a.mountPath == "/") != (b.mountPath == "/"))
            return a.mountPath == "/";
        return commands::NaturalLess(a.mountPath.native(), b.mountPath.native());
    });
}

} // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text)
{
    std::vector<MountEntry> mounts;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (MountEntry entry; ParseMountLine(text.substr(start, end - start), entry))
            mounts.push_back(std::move(entry));
        start = end + 1;
    }
    return mounts;
}

std::vector<Volume> ReadVolumes(const path& workingFolder)
{
    const std::map<path, std::string> mounts = TopMounts();
    const path holdingWorkingFolder = InnermostRoot(std::views::keys(mounts), workingFolder);
    std::vector<Volume> volumes;
    for (const auto& [mountPoint, type] : mounts)
        if (mountPoint == holdingWorkingFolder || HoldsUserFiles(mountPoint, type))
            volumes.push_back({mountPoint, LabelOf(mountPoint)});
    if (std::none_of(volumes.begin(), volumes.end(),
                     [](const Volume& v) { return v.mountPath == "/"; }))
        volumes.push_back({"/", QString()});
    SortForDriveList(volumes);
    return volumes;
}

} // namespace app
