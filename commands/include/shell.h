#pragma once

#include "folder_identity.h"

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

} // namespace commands
