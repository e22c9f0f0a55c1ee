#include "held_folder.h"

#include "win32_backend.h"

#include <cwctype>

namespace commands {

using namespace win32;

namespace {

// True when the path lies in a Recycle Bin of a volume.
bool isInRecycleBin(const Native& path)
{
    for (const Path& element : Path(path)) {
        Native name = element.native();
        for (wchar_t& c : name)
            c = static_cast<wchar_t>(std::towlower(c));
        if (name == L"$recycle.bin" || name == L"recycler")
            return true;
    }
    return false;
}

std::optional<FolderIdentity> identityOfOpen(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber,
                          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                              info.nFileIndexLow};
}

// The folder at the path, opened as the held folder is, so that others may rename and delete.
HANDLE openFolder(const Path& path)
{
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

struct HeldFolder::Handle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    FolderIdentity identity;
    ~Handle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

HeldFolder::HeldFolder() = default;
HeldFolder::~HeldFolder() = default;
HeldFolder::HeldFolder(HeldFolder&&) noexcept = default;
HeldFolder& HeldFolder::operator=(HeldFolder&&) noexcept = default;

HeldFolder::HeldFolder(const Path& folder) : handle_(std::make_unique<Handle>())
{
    const char* op = "open folder";
    handle_->handle = openFolder(cpath(folder, op));
    if (handle_->handle == INVALID_HANDLE_VALUE)
        failLast(folder, op);
    const std::optional<FolderIdentity> identity = identityOfOpen(handle_->handle);
    if (!identity)
        failLast(folder, op);
    handle_->identity = *identity;
}

FolderIdentity HeldFolder::Identity() const { return handle_ ? handle_->identity : FolderIdentity{}; }

// Windows lists a folder by its path only: the listing is of the folder held when the path
// leads to it before and after.
FolderEntries HeldFolder::Read(const Path& shown) const
{
    const std::optional<Path> now = FindAgain(shown);
    if (!now)
        fail(ERROR_FILE_NOT_FOUND, shown, "read folder");
    FolderEntries entries = ReadFolder(*now);
    if (entries.identity != handle_->identity)
        throw FolderReplaced(shown);
    return entries;
}

// A folder deleted while held stays, pending, until the last handle on it is closed.
std::optional<Path> HeldFolder::FindAgain(const Path& expected) const
{
    if (!handle_)
        return std::nullopt;
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle_->handle, FileStandardInfo, &standard,
                                      sizeof standard) ||
        standard.DeletePending)
        return std::nullopt;
    if (const HANDLE there = openFolder(expected); there != INVALID_HANDLE_VALUE) {
        const std::optional<FolderIdentity> identity = identityOfOpen(there);
        CloseHandle(there);
        if (identity == handle_->identity)
            return expected;
    }
    const std::optional<Native> now = pathOfOpen(handle_->handle);
    if (!now || isInRecycleBin(*now))
        return std::nullopt;
    return Path(*now);
}

} // namespace commands
