#pragma once

#include <filesystem>

// The same work as the commands, done by bare system calls with no window and no checks. The
// commands walk a folder in the file list's order, so every loop over files reads the folder
// and sorts the names the same way first. Each returns milliseconds.
//
// Two kinds of loop: the limits name each entry by its full path, as unlink(2) and rename(2)
// take it; the floors work relative to the open folder's descriptor (unlinkat, renameat2), with
// no stat: the fastest loop the kernel allows.
namespace bench {

// readdir over the folder, then the file list's sort of its files' names and the same sort of
// its subfolders' names, as the window shows both.
double ListAndSort(const std::filesystem::path& folder);

// Limits: readdir and the sort, then one call per file on its full path.
// renameat2(RENAME_NOREPLACE) of every file to prefix + running number.
double RenameEach(const std::filesystem::path& folder, const char* prefix);
// unlink of every file.
double UnlinkEach(const std::filesystem::path& folder);
// g_file_trash of every file.
double TrashEach(const std::filesystem::path& folder);

// Floors: readdir and the sort, then one call per file relative to the folder's descriptor.
double RenameEachAt(const std::filesystem::path& folder, const char* prefix);
double UnlinkEachAt(const std::filesystem::path& folder);
// The freedesktop.org Trash by hand: per file one .trashinfo made with O_EXCL in trash/info,
// then renameat2(RENAME_NOREPLACE) into trash/files.
double TrashEachAt(const std::filesystem::path& folder, const std::filesystem::path& trash);
// Deletes a folder of subfolders that hold files: the folder read once, each subfolder opened
// with openat, read, its files removed with unlinkat, then itself with AT_REMOVEDIR.
double DeleteTreeAt(const std::filesystem::path& folder);

} // namespace bench
