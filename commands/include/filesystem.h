#pragma once

#include "folder_identity.h"
#include "progress.h"
// The failures that the calls below throw.
#include "folder_replaced.h"
#include "fs_error.h"
#include "name_refused.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace commands {

using Path = std::filesystem::path;

// What a backend keeps of a folder that it looked up, and of a file besides its path. Each
// backend defines them as it needs; one that keeps nothing leaves the pointers below null.
struct OpenedFolder;
struct FileAt;

// One file (any entry that is not a folder), looked up by its full path.
class File {
public:
    explicit File(const Path& path) : native_(path.native()) {}
    // The full path.
    Path path() const { return Path(native_); }
    // The name without folder, exact bytes.
    Path Name() const;
    // Renames in place; never replaces another entry; one path element only.
    void Name(const Path& newName);
    // Deletes outright; a read-only file is not forced.
    void Delete();
    // What the entry was when GetFile looked it up (a link itself, not what it leads to), and
    // whether it held nothing; zero and false for a file that was only listed.
    const EntryIdentity& Identity() const noexcept { return identity_; }
    bool WasEmpty() const noexcept { return empty_; }

private:
    friend class Folder;
    friend class FileSystemObject;
    File(Path::string_type native, std::shared_ptr<const FileAt> at)
        : native_(std::move(native)), at_(std::move(at))
    {
    }

    // Held as a plain string: a folder of many files makes many of these, and a path object
    // would split each one into its elements.
    Path::string_type native_;
    // Where the backend finds the file and what its lookup saw, or null. It lives inside what
    // the backend keeps of the folder, so that a folder of many files needs no allocation per file.
    std::shared_ptr<const FileAt> at_;
    EntryIdentity identity_;
    bool empty_ = false;
};

// One existing folder, looked up by its full path.
class Folder {
public:
    explicit Folder(Path path) : path_(std::move(path)) {}
    const Path& path() const noexcept { return path_; }
    // What the folder was when GetFolder looked it up; zero for a folder that was only named.
    const FolderIdentity& Identity() const noexcept { return identity_; }
    // True for a root folder, whose path already ends in the separator.
    bool IsRootFolder() const;
    // Snapshot of the folder's files, hidden ones included, in natural order; of the folder
    // that was looked up, when it was.
    std::vector<File> Files(Progress& progress = Unwatched()) const;
    // Renames the folder within its parent; never replaces another entry, and renames nothing
    // when its path names another folder than the one looked up.
    void Name(const Path& newName);
    // Throws FolderReplaced when the folder's path no longer names the folder looked up, or
    // nothing at all.
    void CheckStillAtItsPath() const;

private:
    friend class FileSystemObject;
    // The files of the folder that `at` was found in, by their listed names: each one's path by
    // the target-path rule, from the prefix composed once for the folder.
    static std::vector<File> FilesAt(const Path::string_type& prefix,
                                     const std::vector<Path>& names,
                                     const std::shared_ptr<const FileAt>& at);

    Path path_;
    FolderIdentity identity_;
    // The folder as GetFolder opened it, while the file-system object holds it.
    std::weak_ptr<const OpenedFolder> opened_;
};

// The file-system services that the commands call.
class FileSystemObject {
public:
    // Looks the folder up. On Linux it is then held open until Release or the next lookup, and
    // the calls below find a path that lies in it relative to the folder held: in the folder
    // that was looked up, even when another program puts another folder at its path meanwhile.
    Folder GetFolder(const Path& path);
    // Lets go of the folder held open, so that no volume is kept busy between commands.
    void Release() { held_.reset(); }
    File GetFile(const Path& path) const { return GetFile(path.native()); }
    // The same for a full path held as a plain string, as the batch commands compose one for
    // every file.
    File GetFile(const Path::string_type& path) const;
    // Creates one folder in an existing parent.
    Folder CreateFolder(const Path& path) const;
    // Creates an empty file; an existing file is never truncated.
    void CreateTextFile(const Path& path) const;
    // Deletes a folder with everything in it, outright; refuses roots, mount points and home,
    // and the folder looked up when its path now names another one. Reports to the progress
    // before each item it deletes, and stops there when the user stopped it.
    void DeleteFolder(const Path& path, Progress& progress = Unwatched()) const;
    // What the entry at the path is, a link itself and not what it leads to. Throws FsError
    // where there is none.
    EntryIdentity IdentityOf(const Path& path) const;
    // Removes the folder at the path where it holds nothing; false, with nothing changed, where
    // it holds something.
    bool RemoveEmptyFolder(const Path& path) const;
    // True where the calls above find the files of the folder looked up wherever another
    // program moves it during the command (Linux holds it open); false where they go by its
    // path (Windows keeps no handle on it).
    static bool FollowsFolderMoved();

private:
    std::shared_ptr<const OpenedFolder> held_;
};

// A folder's entries read in one pass: its files and its subfolders, each in natural order,
// and what the folder read was.
struct FolderEntries {
    std::vector<Path> files;
    std::vector<Path> subfolders;
    FolderIdentity identity;
};
// Kinds of entry that a listing keeps, and whether it needs what the folder is.
struct EntryKinds {
    bool files = true;
    bool subfolders = true;
    bool identity = true;
};
FolderEntries ReadFolder(const Path& folder, EntryKinds kinds = {});
// Names of a folder's files (entries that are not folders, hidden ones included), natural order.
std::vector<Path> ListFileNames(const Path& folder);
// Names of a folder's subfolders (links to folders included, hidden ones included), natural order.
std::vector<Path> ListSubfolderNames(const Path& folder);

// The name that the name box's UTF-8 text stands for, without any change to it.
Path NameFromText(const std::string& utf8);

} // namespace commands
