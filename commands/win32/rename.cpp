// A rename within the folder, never over another entry, to a name that Windows can hold.
#include "backend.h"

namespace commands::win32 {

namespace {

using backend::NativeView;

// A name that Windows can hold: no control character, none of \/<>:"|?* and no device name.
bool isValidName(NativeView name)
{
    static const Native refused = [] {
        Native characters(L"\\/<>:\"|?*");
        for (wchar_t c = 0; c < 0x20; ++c)
            characters += c;
        return characters;
    }();
    return backend::isValidName(name, refused) && !isReservedName(name);
}

} // namespace

// Renames the entry within its folder; MoveFileExW without flags never replaces another entry.
void renameEntry(const InFolder& entry, const Path& shown, const Path& newName)
{
    const char* op = "rename";
    if (!isValidName(newName.native()))
        fail(ERROR_INVALID_NAME, newName, op);
    if (backend::isDotOrEmpty(entry.name))
        fail(ERROR_ACCESS_DENIED, shown, op);  // "." or a root keeps its name
    const Native from = exactIn(entry.folder, entry.name, op);
    if (backend::isSameName(entry.name, newName.native())) {
        if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES)
            failLast(shown, op);  // it must exist
        return;
    }
    const Native kept = withoutTrailingDotsAndBlanks(newName.native());
    if (kept.empty())
        fail(ERROR_INVALID_NAME, newName, op);
    if (!MoveFileExW(from.c_str(), exactIn(entry.folder, kept, op).c_str(), 0))
        failLast(shown, op);
}

} // namespace commands::win32
