#pragma once

#include <filesystem>

// The physical limits that the commands are measured against: the same work done by bare
// system calls, with no window and no checks. The commands walk a folder in the file list's
// order, so every loop reads the folder and sorts the names the same way first. Each returns
// milliseconds.
namespace bench {

// readdir over the folder and the file list's sort of the names.
double ListAndSort(const std::filesystem::path& folder);
// readdir and the sort, then renameat2(RENAME_NOREPLACE) of every file to prefix + running number.
double RenameEach(const std::filesystem::path& folder, const char* prefix);
// readdir and the sort, then unlink of every file.
double UnlinkEach(const std::filesystem::path& folder);
// readdir and the sort, then g_file_trash of every file.
double TrashEach(const std::filesystem::path& folder);

} // namespace bench
