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

void CommandFrame::LookUpCurrentFolder() { fldCurrent = Fso().GetFolder(strPath); }

Path CommandFrame::SelectedFilePath()
{
    return TargetPath(window_.DirFilesPath(), window_.DirFilesFileName(),
                      fldCurrent->IsRootFolder());
}

} // namespace commands
