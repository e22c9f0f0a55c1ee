#pragma once

#include <filesystem>

// Start-up and memory, each measured in a child process of its own: the program's window, or a
// bare window of the same layout.
namespace bench {

// What a start-up child shows: the program's window, the bare window, or the bare window that
// first reads and sorts its folder (the floor).
enum class Start { real, bare, floor };

// Child process: start a window in the current folder, print the time since the parent's clock
// reading when it is shown, the peak memory and the entries that the lists show.
int Child(int argc, char** argv, Start kind, long long startNs);

struct ChildResult {
    double ms = 0;
    long rssKb = 0;
    long listed = 0;
};

// Runs this program as a child in the folder.
ChildResult RunChild(const std::filesystem::path& folder, Start kind);

} // namespace bench
