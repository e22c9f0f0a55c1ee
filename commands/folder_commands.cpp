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
        strPath = TargetPath(strPath, NewName(window_.txtNameText()), fldCurrent->IsRootFolder());
        try {
            Fso().CreateFolder(strPath);
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
        } catch (const std::exception&) {
            // Trapped: resume at the refresh.
        }
    }
    window_.DirFolderRefresh();
}

void CommandFrame::cbDel_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    try {
        Fso().DeleteFolder(strPath, window_.WalkProgress());
    } catch (const std::exception&) {
        // Trapped, and so is the user's stop: resume at the refreshes.
    }
    window_.DirFolderRefresh();
    window_.DirFilesRefresh();
}

} // namespace commands
