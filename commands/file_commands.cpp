// The File page: create a file, rename or delete the selected file.
#include "command_frame.h"

#include "command_window.h"
#include "recycle_bin.h"
#include "target_path.h"

namespace commands {

void CommandFrame::cbCrFile_Click()
{
    strPath = window_.DirFolderPath();
    if (window_.txtNameText().empty())
        return;
    LookUpCurrentFolder();
    strPath = TargetPath(strPath, NameFromText(window_.txtNameText()), fldCurrent->IsRootFolder());
    try {
        Fso().CreateTextFile(strPath);  // a taken name fails: an existing file keeps its contents
    } catch (const std::exception&) {
        return;  // trapped: resume at the end
    }
    window_.DirFilesRefresh();
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
    File file = Fso().GetFile(filePath);
    try {
        file.Name(NameFromText(window_.txtNameText()));
    } catch (const std::exception&) {
        return;  // trapped: resume at the end
    }
    window_.DirFilesRefresh();
}

void CommandFrame::cbDelFile_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    const Path filePath = SelectedFilePath();
    if (window_.DirFilesFileName().empty())
        throw NoFileSelected();
    if (window_.OptDelValue()) {
        Fso().GetFile(filePath).Delete();  // untrapped: a read-only file stays and is reported
    } else {
        DeleteToRecycleBin(shell_, filePath);
        CheckFolderAfterQuestion();  // where it was replaced, the shell moved nothing
    }
    window_.DirFilesRefresh();
}

} // namespace commands
