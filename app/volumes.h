#pragma once

#include <QtCore/QString>

#include <filesystem>
#include <vector>

namespace app {

// A volume that the drive list offers: where its folders start, and its label if it has one.
struct Volume {
    std::filesystem::path mountPath;  // the mount path on Linux, a drive's root ("C:\") on Windows
    QString label;
};

// The volumes a user works with, in the order the drive list shows them: on Linux "/" first,
// then the other mounted volumes that hold user files, in the natural order of their mount
// paths; on Windows the logical drives that are ready, by letter. The volume holding the working
// folder (a normal folder, or empty for none) is always listed.
std::vector<Volume> ReadVolumes(const std::filesystem::path& workingFolder);

// A descriptor on the system's mount table that the kernel marks with an exception condition
// (POLLPRI) each time a volume is mounted or unmounted, for a QSocketNotifier of type Exception;
// -1 where the system offers none (Windows, or Linux without /proc). Close it with
// CloseMountTable once its notifier is disabled.
int OpenMountTable();
void CloseMountTable(int descriptor);

} // namespace app
