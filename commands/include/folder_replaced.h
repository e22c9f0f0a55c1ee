#pragma once

#include "progress.h"

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace commands {

using Path = std::filesystem::path;

// A command's folder path names another folder than the one the window shows, or none. The
// command stopped there, after `changed` files of the folder shown were changed by its `work`.
class FolderReplaced : public std::runtime_error {
public:
    explicit FolderReplaced(Path path, std::uint64_t changed = 0, Work work = Work::DeletingFiles,
                            std::uint64_t elsewhere = 0)
        : std::runtime_error("The folder's path names another folder now."),
          path_(std::move(path)), changed_(changed), work_(work), elsewhere_(elsewhere)
    {
    }
    const Path& path() const noexcept { return path_; }
    std::uint64_t changed() const noexcept { return changed_; }
    Work work() const noexcept { return work_; }
    // Files that a shell, which asks its own question and then takes the path as it finds it,
    // may have moved out of the folder that took the shown one's place.
    std::uint64_t elsewhere() const noexcept { return elsewhere_; }

private:
    Path path_;
    std::uint64_t changed_;
    Work work_;
    std::uint64_t elsewhere_;
};

} // namespace commands
