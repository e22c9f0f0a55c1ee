#pragma once

#include <filesystem>

namespace commands {

// The working folder as the system names it; empty when it cannot be had (removed meanwhile,
// or longer than the system takes), with the system's error code in `error`.
std::filesystem::path WorkingFolder(int& error);
// Leaves the working folder for one that is never renamed, deleted or unmounted (the root on
// Linux, the system's folder on Windows), so that the folder started in is held by nothing.
void LeaveWorkingFolder();
// The user's home folder; empty when there is none.
std::filesystem::path HomeFolder();

} // namespace commands
