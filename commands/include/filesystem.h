#pragma once

#include "progress.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace commands {

using Path = std::filesystem::path;

// A failed file-system call: the OS error code and a message naming the path.
class FsError : public std::runtime_error {
public:
    FsError(int code, const Path& path, const std::string& operation);
    int code() const noexcept { return code_; }
    const Path& path() const noexcept { return path_; }

private:
    int code_;
    Path path_;
};

// What a folder is, whatever path names it: the device and inode numbers on Linux, the volume
// serial number and file ID on Windows. A folder moved away and a new one made under its old
// path differ in it, and so do a mount point and the folder that a mount hides.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// What any entry is: the same numbers, for a file or a link as for a folder.
using EntryIdentity = FolderIdentity;

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

// A name that a command refuses before it touches anything with it: a listed name that is
// not one path element (it holds a separator, or is "." or ".."), which joined to its folder
// would name another entry; or a new name that the system keeps for a device in every folder.
class NameRefused : public std::runtime_error {
public:
    enum class Why { NotOneName, DeviceName };
    NameRefused(Path name, Why why)
        : std::runtime_error("The name cannot be used."), name_(std::move(name)), why_(why)
    {
    }
    const Path& name() const noexcept { return name_; }
    Why why() const noexcept { return why_; }

private:
    Path name_;
    Why why_;
};

// True for a name as a listing gives it that is one path element: not empty, "." or "..", and
// without a separator of the platform's (on Windows both \ and /).
bool IsOneName(const Path& name);
// True for a name that the system keeps for a device in every folder, whatever the extension:
// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 on Windows; none elsewhere.
bool IsDeviceName(const Path& name);

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
