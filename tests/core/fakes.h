#pragma once

#include "command_window.h"
#include "recycle_bin.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

    const std::filesystem::path& DirFolderPath() const override { return folder; }
    commands::FolderIdentity DirFolderIdentity() const override
    {
        return identity ? *identity : commands::FileSystemObject().GetFolder(folder).Identity();
    }
    void DirFolderRefresh() override { refreshes.push_back("tree"); }
    const std::filesystem::path& DirFilesPath() const override { return folder; }
    std::filesystem::path DirFilesFileName() const override { return selected; }
    void DirFilesRefresh() override { refreshes.push_back("files"); }
    std::string txtNameText() const override { return name; }
    bool OptDelValue() const override { return justDelete; }
};

// A shell that records every request and answers the questions from a list: a confirmed file
// is moved into a trash folder of the test's own.
class RecordingShell final : public commands::Shell {
public:
    explicit RecordingShell(std::filesystem::path trash = {}) : trash_(std::move(trash)) {}

    std::vector<commands::ShellFileOperation> requests;
    std::vector<bool> answers;  // one per question; missing answers are yes

    int SHFileOperation(commands::ShellFileOperation& request) override
    {
        requests.push_back(request);
        const bool yes = requests.size() > answers.size() || answers[requests.size() - 1];
        if (!yes || trash_.empty())
            return 0;
        const std::filesystem::path file(request.pFrom.c_str());
        // Like a real trash, a second file of the same name is kept beside the first.
        std::filesystem::path to = trash_ / file.filename();
        for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(to)); ++n)
            to = trash_ / ("duplicate " + std::to_string(n));
        std::error_code ignored;
        std::filesystem::rename(file, to, ignored);
        return 0;
    }

private:
    std::filesystem::path trash_;
};
