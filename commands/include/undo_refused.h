#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace commands {

using Path = std::filesystem::path;

// An undo or redo that left an entry as it is. `name` is the entry; `other`, where there is one,
// the entry that keeps it from its place.
class UndoRefused : public std::runtime_error {
public:
    enum class Why {
        NotTheSame,       // another entry has the name now
        NameTaken,        // the name to go back to is taken: `other` took it
        NotEmpty,         // what was made holds something now
        TrashEntryGone,   // the Trash no longer holds it
        FolderMoved,      // its folder has left its path
        NotOnThisSystem,  // the shell gives no way back from the Trash here
        ShellTold,        // the shell did not move it, and has told why in its own way
        DeletedOutright,  // the command deleted for good; `name` is the command's control
    };
    UndoRefused(Why why, Path name, Path other = {}, std::uint64_t left = 1)
        : std::runtime_error("The undo left an entry as it is."), why_(why),
          name_(std::move(name)), other_(std::move(other)), left_(left)
    {
    }
    Why why() const noexcept { return why_; }
    const Path& name() const noexcept { return name_; }
    const Path& other() const noexcept { return other_; }
    // How many entries it left, this one included.
    std::uint64_t left() const noexcept { return left_; }

private:
    Why why_;
    Path name_;
    Path other_;
    std::uint64_t left_;
};

} // namespace commands
