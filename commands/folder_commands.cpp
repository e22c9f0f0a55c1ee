// The Folder page: create a subfolder, rename or delete the current folder.
#include "command_frame.h"

#include "command_window.h"
#include "target_path.h"

namespace commands {

void CommandFrame::cbCr_Click()
{
    strPath = window_.DirFolderPath();
    if (!window_.txtNameText().empty()) {
        LookUpCurrentFolder();
        Entering made(history_, Doing(Done::Kind::Made, "cbCr", true));
        const Path name = NewName(window_.txtNameText());
        strPath = TargetPath(strPath, name, fldCurrent->IsRootFolder());
        try {
            Fso().CreateFolder(strPath);
            if (const std::optional<EntryIdentity> identity = EntryAt(strPath))
                made.Add({Path(), name, *identity, Path()});
        } catch (const std::exception&) {
            // Trapped: resume at the refreshes.
        }
    }
    window_.DirFolderRefresh();
    window_.DirFilesRefresh();
}

void CommandFrame::cbRen_Click()
{
    strPath = window_.DirFolderPath();
    if (!window_.txtNameText().empty()) {
        LookUpCurrentFolder();
        const Path newName = NewName(window_.txtNameText());
        try {
            fldCurrent->Name(newName);
            EnterFolderRenamed(newName);
        } catch (const std::exception&) {
            // Trapped: resume at the refresh.
        }
    }
    window_.DirFolderRefresh();
}

// A folder's rename is undone in its parent, which holds its name; where the parent cannot be
// looked at now, it is not entered.
void CommandFrame::EnterFolderRenamed(const Path& newName)
{
    if (newName == strPath.filename())
        return;  // renamed to the name it had: nothing to take back
    Done renamed = Doing(Done::Kind::Renamed, "cbRen", true);
    renamed.folder = strPath.parent_path();
    try {
        renamed.folderIdentity = Fso().GetFolder(renamed.folder).Identity();
    } catch (const FsError&) {
        return;
    }
    renamed.steps.push_back({strPath.filename(), newName, fldCurrent->Identity(), Path()});
    history_.Enter(std::move(renamed));
}

void CommandFrame::cbDel_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    try {
        Fso().DeleteFolder(strPath, window_.WalkProgress());
        Done deleted = Doing(Done::Kind::DeletedOutright, "cbDel", true);
        deleted.steps.push_back({strPath.filename(), Path(), fldCurrent->Identity(), Path()});
        history_.Enter(std::move(deleted));
    } catch (const std::exception&) {
        // Trapped, and so is the user's stop: resume at the refreshes.
    }
    window_.DirFolderRefresh();
    window_.DirFilesRefresh();
}

} // namespace commands
