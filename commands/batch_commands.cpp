// The All Files page: delete every file of the current folder, or rename them all.
#include "command_frame.h"

#include "command_window.h"
#include "recycle_bin.h"
#include "target_path.h"

#include <cstdint>
#include <string>

namespace commands {

void CommandFrame::cbDelAll_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    const std::vector<File> files = fldCurrent->Files();  // a snapshot, in the file list's order
    bool trapArmed = false;
    try {
        for (const File& file : files) {
            const Path::string_type filePath = ComposeTargetPath(
                window_.DirFolderPath(), file.Name(), fldCurrent->IsRootFolder());
            File target = Fso().GetFile(filePath);
            trapArmed = true;  // from here on a failure ends the walk quietly
            if (window_.OptDelValue()) {
                target.Delete();
            } else {
                // The shell takes a path, and the user may answer each question much later:
                // the path is handed on only while it still names the folder listed.
                fldCurrent->CheckStillAtItsPath();
                DeleteToRecycleBin(shell_, Path(filePath));
            }
        }
    } catch (const FolderReplaced&) {
        throw;  // not quietly: the window shows another folder than the one walked
    } catch (const std::exception&) {
        if (!trapArmed)
            throw;
    }
    window_.DirFilesRefresh();
}

void CommandFrame::cbRenAll_Click()
{
    strPath = window_.DirFolderPath();
    LookUpCurrentFolder();
    const std::vector<File> files = fldCurrent->Files();  // a renamed file is never met again
    std::uint64_t runningNumber = 0;  // wide enough for a folder of any size
    bool trapArmed = false;
    try {
        for (const File& file : files) {
            ++runningNumber;
            const Path::string_type filePath = ComposeTargetPath(
                window_.DirFilesPath(), file.Name(), fldCurrent->IsRootFolder());
            if (window_.txtNameText().empty())
                continue;
            File target = Fso().GetFile(filePath);
            trapArmed = true;
            target.Name(NameFromText(window_.txtNameText() + std::to_string(runningNumber)));
            window_.DirFilesRefresh();
        }
    } catch (const std::exception&) {
        if (!trapArmed)
            throw;
    }
}

} // namespace commands
