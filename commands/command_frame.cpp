#include "command_frame.h"

#include "command_window.h"
#include "recycle_bin.h"
#include "target_path.h"

namespace commands {

CommandFrame::CommandFrame(CommandWindow& window, Shell& shell)
    : window_(window), shell_(shell), ownHistory_(std::make_unique<History>()),
      history_(*ownHistory_)
{
}

CommandFrame::CommandFrame(CommandWindow& window, Shell& shell, History& history)
    : window_(window), shell_(shell), history_(history)
{
}

CommandFrame::~CommandFrame() = default;

FileSystemObject& CommandFrame::Fso()
{
    if (!fso)
        fso = std::make_unique<FileSystemObject>();
    return *fso;
}

void CommandFrame::Run(void (CommandFrame::*procedure)())
{
    struct ReleaseAtEnd {
        CommandFrame& frame;
        ~ReleaseAtEnd()
        {
            if (frame.fso)
                frame.fso->Release();
        }
    } release{*this};
    (this->*procedure)();
}

// The path may name another folder than the one the window shows: another program may have
// moved that one away and made a new one in its place, or unmounted the volume over it.
void CommandFrame::LookUpCurrentFolder()
{
    fldCurrent = Fso().GetFolder(strPath);
    if (fldCurrent->Identity() != window_.DirFolderIdentity())
        throw FolderReplaced(strPath);
}

// After a question, which may have been open for long, and where a walk's trap caught a
// failure: throws FolderReplaced, counting the files that the command changed, where another
// program has moved the folder away or put another one at its path meanwhile. A folder that
// cannot be looked at now is left to the command's next step (a walk's trap then ends it
// quietly).
void CommandFrame::CheckFolderStillShown(std::uint64_t changed, Work work) const
{
    try {
        fldCurrent->CheckStillAtItsPath();
    } catch (const FolderReplaced&) {
        throw FolderReplaced(strPath, changed, work);
    } catch (const FsError&) {
    }
}

// Hands the file to the shell, which asks the user and may take long, and counts the file in
// `changed` when it left the folder; where the Trash keeps it is entered. Where files are known
// by their paths alone and the folder has left its path, the shell took the path as it found
// it once answered: from the folder that took the shown one's place, if one did, else from the
// folder shown, before it left.
void CommandFrame::ToRecycleBin(const Path& filePath, std::optional<EntryIdentity> identity,
                                Entering& trashed, std::uint64_t& changed)
{
    const bool shellDone = DeleteToRecycleBin(shell_, filePath);
    if (!FileSystemObject::FollowsFolderMoved()) {
        try {
            fldCurrent->CheckStillAtItsPath();
        } catch (const FolderReplaced&) {
            const bool newcomer = FolderAt(strPath);
            changed += shellDone && !newcomer ? 1 : 0;
            throw FolderReplaced(strPath, changed, Work::DeletingFiles,
                                 shellDone && newcomer ? 1 : 0);
        } catch (const FsError&) {
        }
    }
    if (FileGone(filePath.native())) {
        ++changed;
        if (identity)
            trashed.Add({filePath.filename(), Path(), *identity,
                         shell_.WhereTrashed(filePath, *identity)});
    }
    CheckFolderStillShown(changed);
}

// What the file is before the shell is asked about it; nothing where it is gone already, which
// the shell tells in its own way.
std::optional<EntryIdentity> CommandFrame::IdentityBeforeTheShell(const Path& filePath)
{
    try {
        return Fso().GetFile(filePath).Identity();
    } catch (const FsError&) {
        return std::nullopt;
    }
}

// What a command is about to do in the folder it looked up.
Done CommandFrame::Doing(Done::Kind kind, const char* command, bool folders) const
{
    Done done;
    done.kind = kind;
    done.command = command;
    done.folder = strPath;
    done.folderIdentity = fldCurrent->Identity();
    done.folders = folders;
    return done;
}

bool CommandFrame::FolderAt(const Path& path)
{
    try {
        ReadFolder(path, {.files = false, .subfolders = false, .identity = true});
        return true;
    } catch (const FsError&) {
        return false;
    }
}

// The name typed for a new entry or a rename; one that the system keeps for a device is refused
// before anything is touched.
Path CommandFrame::NewName(const std::string& text) const
{
    Path name = NameFromText(text);
    if (IsDeviceName(name))
        throw NameRefused(std::move(name), NameRefused::Why::DeviceName);
    return name;
}

// Whether the file is gone from its path: the shell moved it, or another program removed it.
bool CommandFrame::FileGone(const Path::string_type& filePath)
{
    try {
        Fso().GetFile(filePath);
        return false;
    } catch (const FsError&) {
        return true;
    }
}

// A listed name is one name: one that the listing gives with a separator in it, or as "." or
// "..", would name another entry once joined to its folder.
Path CommandFrame::SelectedFilePath()
{
    const Path name = window_.DirFilesFileName();
    if (!name.empty() && !IsOneName(name))
        throw NameRefused(name, NameRefused::Why::NotOneName);
    return TargetPath(window_.DirFilesPath(), name, fldCurrent->IsRootFolder());
}

} // namespace commands
