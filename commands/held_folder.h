#pragma once

#include "filesystem.h"

#include <memory>
#include <optional>

namespace commands {

// The folder that the window shows, held so that it is found again where another program or a
// command moves it: on Linux by an open descriptor, wherever it goes; on Windows by what it
// is, under its path or a new name in the same parent.
class HeldFolder {
public:
    HeldFolder();
    // Holds the folder at the path (exactly that path: links are followed, nothing is
    // normalised); throws FsError when there is none to hold.
    explicit HeldFolder(const Path& folder);
    ~HeldFolder();
    HeldFolder(HeldFolder&&) noexcept;
    HeldFolder& operator=(HeldFolder&&) noexcept;

    // What the folder held is; zero while nothing is held.
    FolderIdentity Identity() const;
    // The entries of the folder held, sorted as ReadFolder sorts them. `shown` is the path that
    // FindAgain gave: Linux reads through the hold, and names the folder by it in errors only;
    // Windows lists that path, and throws FolderReplaced where another folder is there.
    FolderEntries Read(const Path& shown) const;
    // Where the folder is now: `expected` while that path leads to it, else the path that
    // leads to it now. Nothing once it was deleted or moved into a Trash, or while nothing
    // is held.
    std::optional<Path> FindAgain(const Path& expected) const;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

} // namespace commands
