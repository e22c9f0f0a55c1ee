#pragma once

#include "filesystem.h"

#include <filesystem>

namespace commands {

// The shell's file-operation request: one operation over a double-NUL-terminated list of paths.
struct ShellFileOperation {
    static constexpr unsigned foDelete = 0x0003;
    static constexpr unsigned short fofSilent = 0x0004;
    static constexpr unsigned short fofNoConfirmation = 0x0010;
    static constexpr unsigned short fofAllowUndo = 0x0040;
    static constexpr unsigned short fofNoErrorUi = 0x0400;

    void* hwnd = nullptr;
    unsigned wFunc = 0;
    std::filesystem::path::string_type pFrom;  // each path ends in NUL, the list in one more NUL
    const std::filesystem::path::value_type* pTo = nullptr;
    unsigned short fFlags = 0;
    bool fAnyOperationsAborted = false;
    void* hNameMappings = nullptr;
    const std::filesystem::path::value_type* lpszProgressTitle = nullptr;
};

// How bringing a file back from the Trash ended.
enum class Restored { Back, GoneFromTrash, NameTaken, NotOnThisSystem };

// The platform's shell file-operation service. It runs to its end, the user's answers included.
class Shell {
public:
    virtual ~Shell() = default;
    virtual int SHFileOperation(ShellFileOperation& request) = 0;
    // Where the Trash keeps the entry that this shell moved there from `original`, found by
    // what it is; empty where the shell cannot tell.
    virtual std::filesystem::path WhereTrashed(const std::filesystem::path& original,
                                               const EntryIdentity& entry);
    // Moves the entry that the Trash keeps at `trashed`, while it is still `entry`, back to
    // `original`, never over another entry, and removes the Trash's record of it.
    virtual Restored Restore(const std::filesystem::path& trashed, const EntryIdentity& entry,
                             const std::filesystem::path& original);
};

// Why a shell that takes plain paths did not take one: it would have reached another entry.
enum class ShellRefusal {
    NameChanged,  // a name that plain paths change (a trailing dot or blank, a device name)
    Pattern,      // a name holding ? or *, which the shell reads as a pattern
    NotItself,    // a link that the listing shows as a plain file: the shell would reach its target
};

// Sends one file to the Recycle Bin (the Trash) after the shell's own confirmation. Reports
// nothing: a declined question or a failure is the shell's to show. True where the shell says
// that it carried the request out.
bool DeleteToRecycleBin(Shell& shell, std::filesystem::path path);
// The same without the question, for a move that the user asks for again (a redo).
bool MoveToRecycleBinUnasked(Shell& shell, std::filesystem::path path);

} // namespace commands
