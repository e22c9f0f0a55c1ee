#pragma once

#include <filesystem>

// The physical limits that the commands are measured against: the same work done by bare
// system calls, with no window and no checks. Each returns milliseconds.
namespace bench {

// readdir over the folder and the file list's sort of the names.
double ListAndSort(const std::filesystem::path& folder);
// readdir, then renameat2(RENAME_NOREPLACE) of every file to prefix + running number.
double RenameEach(const std::filesystem::path& folder, const char* prefix);
// readdir, then unlink of every file.
double UnlinkEach(const std::filesystem::path& folder);
// readdir, then g_file_trash of every file.
double TrashEach(const std::filesystem::path& folder);

} // namespace bench
