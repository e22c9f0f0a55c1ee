// The All Files page: delete every file of the current folder, or rename them all.
#include "command_frame.h"

#include "command_window.h"
#include "progress.h"
#include "recycle_bin.h"
#include "target_path.h"

#include <cstdint>
#include <optional>
#include <string>

namespace commands {

namespace {

// A walk leaves a listed name that is not one name as it is, and tells the first such name once
// it is done.
class NamesLeft {
public:
    bool Leaves(const Path& name)
    {
        if (IsOneName(name))
            return false;
        if (!first_)
            first_ = name;
        return true;
    }
    void Tell() const
    {
        if (first_)
            throw NameRefused(*first_, NameRefused::Why::NotOneName);
    }

private:
    std::optional<Path> first_;
};

} // namespace

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
    NamesLeft left;
    Entering done(history_, Doing(window_.OptDelValue() ? Done::Kind::DeletedOutright
                                                        : Done::Kind::Trashed,
                                  "cbDelAll"));
    try {
        for (const File& file : files) {
            const Path name = file.Name();
            if (left.Leaves(name))
                continue;
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
                if (changed == 1)  // one step is enough to tell that it deleted for good
                    done.Add({name, Path(), target.Identity(), Path()});
            } else {
                // The shell takes a path, and the user may answer each question much later:
                // the path is handed on only while it still names the folder walked.
                fldCurrent->CheckStillAtItsPath();
                ToRecycleBin(Path(filePath), target.Identity(), done, changed);
            }
        }
    } catch (const FolderReplaced& replaced) {
        // Not quietly: the window shows another folder than the one walked.
        throw FolderReplaced(replaced.path(), changed, Work::DeletingFiles, replaced.elsewhere());
    } catch (const NameRefused&) {
        throw;
    } catch (const std::exception&) {
        if (!trapArmed)
            throw;
        CheckFolderStillShown(changed);
    }
    window_.DirFilesRefresh();
    left.Tell();
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
    NamesLeft left;
    Entering renamedAll(history_, Doing(Done::Kind::Renamed, "cbRenAll"));
    try {
        for (const File& file : files) {
            const Path name = file.Name();
            if (left.Leaves(name))
                continue;
            ++runningNumber;
            const Path::string_type filePath =
                ComposeTargetPath(strPath, name, fldCurrent->IsRootFolder());
            if (window_.txtNameText().empty())
                continue;
            // A device name comes with the first number, if at all ("com1", "aux.1"): refused
            // there, before any file is renamed.
            const Path newName = NewName(window_.txtNameText() + std::to_string(runningNumber));
            File target = Fso().GetFile(filePath);
            trapArmed = true;
            progress.Before({Work::RenamingFiles, runningNumber - 1, files.size(),
                             strPath.native(), name.native()});
            target.Name(newName);
            ++renamed;
            if (newName != name)  // a file that had its new name already was not renamed
                renamedAll.Add({name, newName, target.Identity(), Path()});
            window_.DirFilesRefresh();
        }
    } catch (const NameRefused&) {
        throw;
    } catch (const std::exception&) {
        if (!trapArmed)
            throw;
        CheckFolderStillShown(renamed, Work::RenamingFiles);
    }
    left.Tell();
}

} // namespace commands
