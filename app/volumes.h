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


} // namespace app
