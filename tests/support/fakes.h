#pragma once

#include "command_window.h"
#include "recycle_bin.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A walk's progress that gives a turn before every change, and stops the walk before the change
// numbered `stopAt` (from 0) when that is set.
class StoppingProgress final : public commands::Progress {
public:
    StoppingProgress() { Restart(Clock::duration::zero()); }
    std::optional<std::uint64_t> stopAt;
    std::uint64_t turns = 0;

protected:
    void Turn(const commands::WorkStep&) override
    {
        if (stopAt && turns++ == *stopAt)
            Stop();
    }
};

// The window as the commands see it: fixed control values and a record of the refreshes.
class FakeWindow final : public commands::CommandWindow {
public:
    std::filesystem::path folder;
    std::filesystem::path selected;
    std::string name;
    bool justDelete = false;
    std::vector<std::string> refreshes;  // "tree" or "files", in order
    // What the window read as its folder; unset, the folder at `folder` when a command asks.
    std::optional<commands::FolderIdentity> identity;
    StoppingProgress progress;

    const std::filesystem::path& DirFolderPath() const override { return folder; }
    commands::FolderIdentity DirFolderIdentity() const override;
    void DirFolderRefresh() override { refreshes.push_back("tree"); }
    const std::filesystem::path& DirFilesPath() const override { return folder; }
    std::filesystem::path DirFilesFileName() const override { return selected; }
    void DirFilesRefresh() override { refreshes.push_back("files"); }
    std::string txtNameText() const override { return name; }
    bool OptDelValue() const override { return justDelete; }
    commands::Progress& WalkProgress() override { return progress; }
};

// A shell that records every request and answers the questions from a list: a confirmed file
// is moved into a trash folder of the test's own.
class RecordingShell final : public commands::Shell {
public:
    explicit RecordingShell(std::filesystem::path trash = {}) : trash_(std::move(trash)) {}

    std::vector<commands::ShellFileOperation> requests;
    std::vector<bool> answers;  // one per question; missing answers are yes

    int SHFileOperation(commands::ShellFileOperation& request) override;
    // The test's trash is one folder: an entry is found there by what it is.
    std::filesystem::path WhereTrashed(const std::filesystem::path& original,
                                       const commands::EntryIdentity& entry) override;
    commands::Restored Restore(const std::filesystem::path& trashed,
                               const commands::EntryIdentity& entry,
                               const std::filesystem::path& original) override;

private:
    std::filesystem::path trash_;
};
