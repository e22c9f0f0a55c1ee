#pragma once

#include "filesystem.h"
#include "progress.h"

#include <filesystem>
#include <string>

namespace commands {

// What the commands see of the window: the controls that they read and the lists they refresh.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;
    // The open folder of the folder tree.
    virtual const std::filesystem::path& DirFolderPath() const = 0;
    // What the open folder was when the tree read it.
    virtual FolderIdentity DirFolderIdentity() const = 0;
    // Re-reads the folder tree from disk.
    virtual void DirFolderRefresh() = 0;
    // The folder whose files the file list shows.
    virtual const std::filesystem::path& DirFilesPath() const = 0;
    // The selected file's name, exact bytes; empty when no file is selected.
    virtual std::filesystem::path DirFilesFileName() const = 0;
    // Re-reads the file list from disk.
    virtual void DirFilesRefresh() = 0;
    // The name box's text as UTF-8, exactly as typed.
    virtual std::string txtNameText() const = 0;
    // True when "Just Delete" is the selected delete method.
    virtual bool OptDelValue() const = 0;
    // Where a long walk reports how far it has got, and learns that the user stopped it.
    virtual Progress& WalkProgress() = 0;
};

} // namespace commands
