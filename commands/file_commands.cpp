// The File page: create a file, rename or delete the selected file.
#include "command_frame.h"

#include "command_window.h"
#include "recycle_bin.h"
#include "target_path.h"

namespace commands {

namespace {

// Create and Rename share their end: a failure of the change is trapped and ends the command
// there; else the file list is read again.
template <typename Change>
void changeThenRefreshFiles(CommandWindow& window, Change change)
{
    try {
        change();
    } catch (const std::exception&) {
        return;  // trapped: resume at the end
    }
    window.DirFilesRefresh();
}

} // namespace

void CommandFrame::cbCrFile_Click()
{
    strPath = window_.DirFolderPath();
    if (window_.txtNameText().empty())
        return;
    LookUpCurrentFolder();
    Entering made(history_, Doing(Done::Kind::Made, "cbCrFile"));
    const Path name = NewName(window_.txtNameText());
    strPath = TargetPath(strPath, name, fldCurrent->IsRootFolder());
    // A taken name fails: an existing file keeps its contents.
    changeThenRefreshFiles(window_, [&] {
        Fso().CreateTextFile(strPath);
        if (const std::optional<EntryIdentity> identity = EntryAt(strPath))
            made.Add({Path(), name, *identity, Path()});
    });
}

void CommandFrame::cbRenFile_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    const Path filePath = SelectedFilePath();
    if (window_.txtNameText().empty())
        return;
    // With no file selected the composed path names the folder itself, which is never renamed.
    if (window_.DirFilesFileName().empty())
        throw NoFileSelected();
    const Path newName = NewName(window_.txtNameText());
    File file = Fso().GetFile(filePath);
    Entering renamed(history_, Doing(Done::Kind::Renamed, "cbRenFile"));
    changeThenRefreshFiles(window_, [&] {
        file.Name(newName);
        if (newName != window_.DirFilesFileName())
            renamed.Add({window_.DirFilesFileName(), newName, file.Identity(), Path()});
    });
}

void CommandFrame::cbDelFile_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    const Path filePath = SelectedFilePath();
    if (window_.DirFilesFileName().empty())
        throw NoFileSelected();
    const Path name = window_.DirFilesFileName();
    if (window_.OptDelValue()) {
        File file = Fso().GetFile(filePath);
        file.Delete();  // untrapped: a read-only file stays and is reported
        Done deleted = Doing(Done::Kind::DeletedOutright, "cbDelFile");
        deleted.steps.push_back({name, Path(), file.Identity(), Path()});
        history_.Enter(std::move(deleted));
    } else {
        Entering trashed(history_, Doing(Done::Kind::Trashed, "cbDelFile"));
        std::uint64_t changed = 0;
        ToRecycleBin(filePath, IdentityBeforeTheShell(filePath), trashed, changed);
    }
    window_.DirFilesRefresh();
}

} // namespace commands
