// The All Files page: delete every file of the current folder, or rename them all.
#include "command_frame.h"

#include "command_window.h"
#include "progress.h"
#include "recycle_bin.h"
#include "target_path.h"

#include <cstdint>
#include <string>

namespace commands {

void CommandFrame::cbDelAll_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    Progress& progress = window_.WalkProgress();
    // A snapshot, in the file list's order.
    const std::vector<File> files = fldCurrent->Files(progress);
    std::uint64_t passes = 0;
    std::uint64_t changed = 0;  // files deleted or moved to the Trash
    bool trapArmed = false;
    try {
        for (const File& file : files) {
            const Path name = file.Name();
            // The folder walked, not the window's of the moment: the window may have moved on
            // while a question was open.
            const Path::string_type filePath =
                ComposeTargetPath(strPath, name, fldCurrent->IsRootFolder());
            File target = Fso().GetFile(filePath);
            trapArmed = true;  // from here on a failure, or the user's stop, ends the walk quietly
            progress.Before({Work::DeletingFiles, passes++, files.size(), strPath.native(),
                             name.native()});
            if (window_.OptDelValue()) {
                target.Delete();
                ++changed;
            } else {
                // The shell takes a path, and the user may answer each question much later:
                // the path is handed on only while it still names the folder walked, and the
                // folder is checked again once the shell is done.
                fldCurrent->CheckStillAtItsPath();
                DeleteToRecycleBin(shell_, Path(filePath));
                changed += FileGone(filePath) ? 1 : 0;
                CheckFolderStillShown(changed);
            }
        }
    } catch (const FolderReplaced& replaced) {
        // Not quietly: the window shows another folder than the one walked.
        throw FolderReplaced(replaced.path(), changed);
    } catch (const std::exception&) {
        if (!trapArmed)
            throw;
        CheckFolderStillShown(changed);
    }
    window_.DirFilesRefresh();
}

void CommandFrame::cbRenAll_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    Progress& progress = window_.WalkProgress();
    // A snapshot: a renamed file is never met again.
    const std::vector<File> files = fldCurrent->Files(progress);
    std::uint64_t runningNumber = 0;  // wide enough for a folder of any size
    std::uint64_t renamed = 0;
    bool trapArmed = false;
    try {
        for (const File& file : files) {
            ++runningNumber;
            const Path name = file.Name();
            const Path::string_type filePath =
                ComposeTargetPath(strPath, name, fldCurrent->IsRootFolder());
            if (window_.txtNameText().empty())
                continue;
            File target = Fso().GetFile(filePath);
            trapArmed = true;
            progress.Before({Work::RenamingFiles, runningNumber - 1, files.size(),
                             strPath.native(), name.native()});
            target.Name(NameFromText(window_.txtNameText() + std::to_string(runningNumber)));
            ++renamed;
            window_.DirFilesRefresh();
        }
    } catch (const std::exception&) {
        if (!trapArmed)
            throw;
        CheckFolderStillShown(renamed, Work::RenamingFiles);
    }
}

} // namespace commands
