#pragma once

#include "filesystem.h"
#include "history.h"
#include "no_file_selected.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace commands {

class CommandWindow;
class Shell;

// The eight command procedures and the form-level state they share. A failure outside a
// command's trap leaves the procedure as an exception, with nothing changed on disk.
class CommandFrame {
public:
    CommandFrame(CommandWindow& window, Shell& shell);
    // The same, entering what the commands do into a history that the caller keeps.
    CommandFrame(CommandWindow& window, Shell& shell, History& history);
    ~CommandFrame();
    CommandFrame(const CommandFrame&) = delete;
    CommandFrame& operator=(const CommandFrame&) = delete;

    // Runs one of the procedures below; the folder that it looked up is let go at its end.
    void Run(void (CommandFrame::*procedure)());

    // Folder page
    void cbCr_Click();
    void cbRen_Click();
    void cbDel_Click();
    // File page
    void cbCrFile_Click();
    void cbRenFile_Click();
    void cbDelFile_Click();
    // All Files page
    void cbDelAll_Click();
    void cbRenAll_Click();
    // Ctrl+Z and Ctrl+Shift+Z: the latest command taken back, the latest undone done again.
    void Undo();
    void Redo();

private:
    FileSystemObject& Fso();
    void LookUpCurrentFolder();
    void CheckFolderStillShown(std::uint64_t changed, Work work = Work::DeletingFiles) const;
    void ToRecycleBin(const Path& filePath, std::optional<EntryIdentity> identity,
                      Entering& trashed, std::uint64_t& changed);
    Path NewName(const std::string& text) const;
    bool FileGone(const Path::string_type& filePath);
    std::optional<EntryIdentity> IdentityBeforeTheShell(const Path& filePath);
    Done Doing(Done::Kind kind, const char* command, bool folders = false) const;
    void EnterFolderRenamed(const Path& newName);
    void CheckFolderOf(const Done& done);
    void Refresh(bool folders);
    void UndoStep(const Done& done, Done::Step& step);
    void RedoStep(const Done& done, Done::Step& step);
    std::optional<EntryIdentity> EntryAt(const Path& path);
    void RenameIn(const Done& done, const Path& from, const Path& to, const EntryIdentity& identity);
    static bool FolderAt(const Path& path);
    Path SelectedFilePath();

    CommandWindow& window_;
    Shell& shell_;
    std::unique_ptr<History> ownHistory_;
    History& history_;
    Path strPath;
    std::unique_ptr<FileSystemObject> fso;
    std::optional<Folder> fldCurrent;
};

} // namespace commands
