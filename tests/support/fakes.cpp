#include "fakes.h"

#include "filesystem.h"

namespace fs = std::filesystem;

commands::FolderIdentity FakeWindow::DirFolderIdentity() const
{
    return identity ? *identity : commands::FileSystemObject().GetFolder(folder).Identity();
}

int RecordingShell::SHFileOperation(commands::ShellFileOperation& request)
{
    requests.push_back(request);
    const bool yes = requests.size() > answers.size() || answers[requests.size() - 1];
    if (!yes || trash_.empty())
        return 0;
    const fs::path file(request.pFrom.c_str());
    // Like a real trash, a second file of the same name is kept beside the first.
    fs::path to = trash_ / file.filename();
    for (int n = 2; fs::exists(fs::symlink_status(to)); ++n)
        to = trash_ / ("duplicate " + std::to_string(n));
    std::error_code ignored;
    fs::rename(file, to, ignored);
    return 0;
}
