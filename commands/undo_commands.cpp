// Ctrl+Z and Ctrl+Shift+Z: the latest command taken back, or done again, step by step, each
// step only while its entry is still the one that the command changed, and never over another.
#include "command_frame.h"

#include "command_window.h"
#include "progress.h"
#include "recycle_bin.h"
#include "target_path.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace commands {

namespace {

using Why = UndoRefused::Why;

Work WorkOf(const Done& done, bool undo)
{
    if (done.kind == Done::Kind::Trashed)
        return undo ? Work::RestoringFiles : Work::DeletingFiles;
    return Work::RenamingFiles;
}

// A step that can never be taken back, once told, leaves the history, so that Ctrl+Z goes on
// to the rest; one that the user can free (a name, a folder) stays for another try.
bool ForGood(Why why) { return why == Why::TrashEntryGone || why == Why::NotOnThisSystem; }

// Walks the steps, last first for an undo, and hands what was taken back (or done again) and
// what is left to the history. A refused step stays (unless it never can be taken back), and
// the walk goes on; the user's stop or a failure leaves the steps not reached. The first refusal is told at the end, with how many
// were left.
template <typename Act, typename Hand>
void Walk(Done& done, bool undo, Progress& progress, Act act, Hand hand)
{
    std::vector<Done::Step> left;
    std::vector<Done::Step> moved;
    std::optional<UndoRefused> refused;
    std::uint64_t refusals = 0;
    std::exception_ptr failure;
    const std::size_t count = done.steps.size();
    std::size_t at = 0;
    try {
        for (; at < count; ++at) {
            Done::Step& step = done.steps[undo ? count - 1 - at : at];
            progress.Before({WorkOf(done, undo), at, count, done.folder.native(),
                             (undo ? step.to : step.from).native()});
            try {
                act(step);
                moved.push_back(std::move(step));
            } catch (const UndoRefused& refusal) {
                if (!refused)
                    refused = refusal;
                ++refusals;
                if (!ForGood(refusal.why()))
                    left.push_back(std::move(step));
            }
        }
    } catch (const Cancelled&) {
        // The user's stop: the steps not reached stay, and nothing is said.
    } catch (const std::exception&) {
        failure = std::current_exception();  // told once the history is right
    }
    for (std::size_t rest = at; rest < count; ++rest)
        left.push_back(std::move(done.steps[undo ? count - 1 - rest : rest]));
    progress.Between();  // a long walk's end hands the history many steps
    if (undo) {  // in the order of the command
        std::reverse(left.begin(), left.end());
        std::reverse(moved.begin(), moved.end());
    }
    hand(std::move(left), std::move(moved));
    if (failure)
        std::rethrow_exception(failure);
    if (refused)
        throw UndoRefused(refused->why(), refused->name(), refused->other(), refusals);
}

} // namespace

void CommandFrame::Undo()
{
    if (!history_.CanUndo())
        return;
    Done& done = history_.LatestDone();
    if (done.kind == Done::Kind::DeletedOutright) {
        const char* command = done.command;
        history_.Forget();  // said once; the next Ctrl+Z goes on to the command before
        throw UndoRefused(Why::DeletedOutright, command);
    }
    CheckFolderOf(done);
    Walk(
        done, true, window_.WalkProgress(), [&](Done::Step& step) { UndoStep(done, step); },
        [&](auto left, auto undone) { history_.Undone(std::move(left), std::move(undone)); });
    Refresh(done.folders);
}

void CommandFrame::Redo()
{
    if (!history_.CanRedo())
        return;
    Done& done = history_.LatestUndone();
    CheckFolderOf(done);
    Walk(
        done, false, window_.WalkProgress(), [&](Done::Step& step) { RedoStep(done, step); },
        [&](auto left, auto redone) { history_.Redone(std::move(left), std::move(redone)); });
    Refresh(done.folders);
}

// The list that shows what the steps changed is read again: a folder of many files changed
// file by file need not read its subfolders again.
void CommandFrame::Refresh(bool folders)
{
    if (folders)
        window_.DirFolderRefresh();
    else
        window_.DirFilesRefresh();
}

// The steps act in the folder where the command acted, found where it was: one that has left
// its path is not followed, and nothing is changed.
void CommandFrame::CheckFolderOf(const Done& done)
{
    strPath = done.folder;
    try {
        fldCurrent = Fso().GetFolder(strPath);
    } catch (const FsError&) {
        throw UndoRefused(Why::FolderMoved, done.folder);
    }
    if (fldCurrent->Identity() != done.folderIdentity)
        throw UndoRefused(Why::FolderMoved, done.folder);
}

void CommandFrame::UndoStep(const Done& done, Done::Step& step)
{
    const bool root = fldCurrent->IsRootFolder();
    switch (done.kind) {
    case Done::Kind::Made: {
        // Only what is still the entry made, and untouched.
        const Path path = TargetPath(done.folder, step.to, root);
        if (EntryAt(path) != step.identity)
            throw UndoRefused(Why::NotTheSame, step.to);
        if (done.folders) {
            if (!Fso().RemoveEmptyFolder(path))
                throw UndoRefused(Why::NotEmpty, step.to);
        } else {
            File file = Fso().GetFile(path);
            if (!file.WasEmpty())
                throw UndoRefused(Why::NotEmpty, step.to);
            file.Delete();
        }
        break;
    }
    case Done::Kind::Renamed:
        RenameIn(done, step.to, step.from, step.identity);
        break;
    case Done::Kind::Trashed:
        switch (shell_.Restore(step.trashed, step.identity, TargetPath(done.folder, step.from, root))) {
        case Restored::Back:
            break;
        case Restored::GoneFromTrash:
            throw UndoRefused(Why::TrashEntryGone, step.from);
        case Restored::NameTaken:
            throw UndoRefused(Why::NameTaken, step.from, step.from);
        case Restored::NotOnThisSystem:
            throw UndoRefused(Why::NotOnThisSystem, step.from);
        }
        break;
    case Done::Kind::DeletedOutright:
        break;
    }
}

void CommandFrame::RedoStep(const Done& done, Done::Step& step)
{
    const bool root = fldCurrent->IsRootFolder();
    switch (done.kind) {
    case Done::Kind::Made: {
        const Path path = TargetPath(done.folder, step.to, root);
        if (EntryAt(path))
            throw UndoRefused(Why::NameTaken, step.to, step.to);
        if (done.folders)
            Fso().CreateFolder(path);
        else
            Fso().CreateTextFile(path);
        step.identity = Fso().IdentityOf(path);
        break;
    }
    case Done::Kind::Renamed:
        RenameIn(done, step.from, step.to, step.identity);
        break;
    case Done::Kind::Trashed: {
        const Path path = TargetPath(done.folder, step.from, root);
        if (EntryAt(path) != step.identity)
            throw UndoRefused(Why::NotTheSame, step.from);
        if (!MoveToRecycleBinUnasked(shell_, path) || !FileGone(path.native()))
            throw UndoRefused(Why::ShellTold, step.from);
        step.trashed = shell_.WhereTrashed(path, step.identity);
        break;
    }
    case Done::Kind::DeletedOutright:
        break;
    }
}

// What the entry at the path is, a link itself; nothing where there is none.
std::optional<EntryIdentity> CommandFrame::EntryAt(const Path& path)
{
    try {
        return Fso().IdentityOf(path);
    } catch (const FsError&) {
        return std::nullopt;
    }
}

// Gives the entry named `from` the name `to`, while it is the entry that the command changed;
// the rename itself never replaces, so a name that another entry has is refused there. A file
// costs one lookup and the rename, as in the command.
void CommandFrame::RenameIn(const Done& done, const Path& from, const Path& to,
                            const EntryIdentity& identity)
{
    const bool root = fldCurrent->IsRootFolder();
    const Path::string_type path = ComposeTargetPath(done.folder, from, root);
    std::optional<File> file;
    if (done.folders) {
        if (EntryAt(path) != identity)
            throw UndoRefused(Why::NotTheSame, from);
    } else {
        try {
            file = Fso().GetFile(path);
        } catch (const FsError&) {
        }
        if (!file || file->Identity() != identity)
            throw UndoRefused(Why::NotTheSame, from);
    }
    try {
        if (file)
            file->Name(to);
        else
            Folder(path).Name(to);
    } catch (const FsError&) {
        if (EntryAt(TargetPath(done.folder, to, root)))
            throw UndoRefused(Why::NameTaken, from, to);
        throw;
    }
}

} // namespace commands
