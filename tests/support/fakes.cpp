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

namespace {

std::optional<commands::EntryIdentity> identityAt(const fs::path& path)
{
    try {
        return commands::FileSystemObject().IdentityOf(path);
    } catch (const commands::FsError&) {
        return std::nullopt;
    }
}

} // namespace

fs::path RecordingShell::WhereTrashed(const fs::path&, const commands::EntryIdentity& entry)
{
    std::error_code ignored;
    for (const fs::directory_entry& each : fs::directory_iterator(trash_, ignored))
        if (identityAt(each.path()) == entry)
            return each.path();
    return {};
}

commands::Restored RecordingShell::Restore(const fs::path& trashed,
                                           const commands::EntryIdentity& entry,
                                           const fs::path& original)
{
    if (identityAt(trashed) != entry)
        return commands::Restored::GoneFromTrash;
    if (identityAt(original))
        return commands::Restored::NameTaken;
    fs::rename(trashed, original);
    return commands::Restored::Back;
}
