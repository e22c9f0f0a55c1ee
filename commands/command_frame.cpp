#include "command_frame.h"

#include "command_window.h"
#include "recycle_bin.h"
#include "target_path.h"

namespace commands {

CommandFrame::CommandFrame(CommandWindow& window, Shell& shell) : window_(window), shell_(shell) {}

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

Path CommandFrame::SelectedFilePath()
{
    return TargetPath(window_.DirFilesPath(), window_.DirFilesFileName(),
                      fldCurrent->IsRootFolder());
}

} // namespace commands
