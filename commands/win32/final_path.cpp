// What an opened entry is, by where the file system finds it: the check that a name which a
// delete removes or enters is the entry itself and not what a link leads to, where the file
// system does not show the link as one (a Unix link under Wine, a link on some shares).
#include "backend.h"

#include <string>
#include <vector>

namespace commands::win32 {

namespace {

// An opened entry: by default the entry itself, a link rather than what it leads to.
class OpenEntry {
public:
    OpenEntry(const Native& exact, DWORD access, bool itself = true)
        : handle_(CreateFileW(exact.c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS |
                                  (itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                              nullptr))
    {
    }
    ~OpenEntry()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    OpenEntry(const OpenEntry&) = delete;
    OpenEntry& operator=(const OpenEntry&) = delete;

    HANDLE Handle() const { return handle_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

BY_HANDLE_FILE_INFORMATION informationOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(handle, &info);
    return info;
}

// Where the opened entry is: its volume's serial number and its path on that volume, as one
// text. The path comes from FileNameInfo: GetFinalPathNameByHandleW gives the same, but Wine's
// fails beyond MAX_PATH. Most paths fit the small buffer; a longer one is asked for again.
std::optional<Native> placeOf(HANDLE handle)
{
    std::vector<unsigned char> buffer;
    for (const DWORD chars : {DWORD{MAX_PATH}, DWORD{32768}}) {
        buffer.resize(sizeof(FILE_NAME_INFO) + chars * sizeof(wchar_t));
        auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
        if (GetFileInformationByHandleEx(handle, FileNameInfo, info,
                                         static_cast<DWORD>(buffer.size())))
            return std::to_wstring(informationOf(handle).dwVolumeSerialNumber) + L':' +
                   Native(info->FileName, info->FileNameLength / sizeof(wchar_t));
        if (GetLastError() != ERROR_MORE_DATA)
            break;
    }
    return std::nullopt;
}

// The place with every name's trailing dots and blanks dropped: Wine drops them from the names
// it gives back, Windows keeps them; compared so, both tell the same entries apart.
Native comparable(const Native& place)
{
    Native result;
    for (std::size_t at = 0; at <= place.size();) {
        const std::size_t end = std::min(place.find(L'\\', at), place.size());
        result += withoutTrailingDotsAndBlanks(place.substr(at, end - at));
        if (end < place.size())
            result += L'\\';
        at = end + 1;
    }
    return result;
}

// Fails unless the entry opened at `exact`, whose name is its last element, lies in the folder
// at folderPlace under that name. Where the name has an ending that the comparison drops, the
// entry must not be its twin without it either (a link "x." to "x").
void checkIsItself(HANDLE handle, const Native& exact, const Native& folderPlace, const Path& shown,
                   const char* operation)
{
    const std::optional<Native> place = placeOf(handle);
    if (!place)
        failLast(shown, operation);
    const Native name = exact.substr(exact.find_last_of(L'\\') + 1);
    if (!sameText(comparable(*place), comparable(folderPlace + L'\\' + name)))
        fail(ERROR_CANT_RESOLVE_FILENAME, shown, operation);
    const Native twin = withoutTrailingDotsAndBlanks(name);
    if (twin.size() == name.size())
        return;
    const Native twinPath = exact.substr(0, exact.size() - name.size()) + twin;
    const OpenEntry twinEntry(twinPath, FILE_READ_ATTRIBUTES);
    if (!twinEntry.IsOpen())
        return;
    const BY_HANDLE_FILE_INFORMATION mine = informationOf(handle);
    const BY_HANDLE_FILE_INFORMATION twins = informationOf(twinEntry.Handle());
    if (mine.nFileIndexHigh == twins.nFileIndexHigh && mine.nFileIndexLow == twins.nFileIndexLow &&
        mine.dwVolumeSerialNumber == twins.dwVolumeSerialNumber)
        fail(ERROR_CANT_RESOLVE_FILENAME, shown, operation);
}

} // namespace

Native folderPlaceOf(const Native& exact, const Path& shown, const char* operation)
{
    // Followed where it is a link: the entries inside lie where it leads.
    const OpenEntry entry(exact, FILE_READ_ATTRIBUTES, false);
    if (!entry.IsOpen())
        failLast(shown, operation);
    std::optional<Native> place = placeOf(entry.Handle());
    if (!place)
        failLast(shown, operation);
    return std::move(*place);
}

Native enterSubfolder(const Native& exact, const Native& folderPlace, const Path& shown,
                      const char* operation)
{
    const OpenEntry entry(exact, FILE_READ_ATTRIBUTES);
    if (!entry.IsOpen())
        failLast(shown, operation);
    checkIsItself(entry.Handle(), exact, folderPlace, shown, operation);
    return folderPlace + exact.substr(exact.find_last_of(L'\\'));
}

void deleteFileExactly(const Native& exact, const Native& folderPlace, const Path& shown,
                       const char* operation, bool goneIsDeleted)
{
    const OpenEntry entry(exact, DELETE | FILE_READ_ATTRIBUTES);
    if (!entry.IsOpen()) {
        if (goneIsDeleted && GetLastError() == ERROR_FILE_NOT_FOUND)
            return;
        failLast(shown, operation);
    }
    checkIsItself(entry.Handle(), exact, folderPlace, shown, operation);
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(entry.Handle(), FileDispositionInfo, &disposition,
                                    sizeof disposition))
        failLast(shown, operation);
}

bool LeadsToItself(const Path& file)
{
    const char* op = "delete file";
    try {
        const Native exact = exactPath(file, op);
        const OpenEntry entry(exact, FILE_READ_ATTRIBUTES);
        if (!entry.IsOpen())
            return true;
        const Path folder = file.parent_path();
        checkIsItself(entry.Handle(), exact, folderPlaceOf(exactPath(folder, op), folder, op),
                      file, op);
        return true;
    } catch (const FsError& failure) {
        return failure.code() != ERROR_CANT_RESOLVE_FILENAME;
    }
}

void removeLink(const Native& path, DWORD attributes, const Path& shown, const char* operation)
{
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str())
                                                                  : DeleteFileW(path.c_str());
    if (!removed)
        failLast(shown, operation);
}

} // namespace commands::win32
