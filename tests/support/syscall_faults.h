#pragma once

// Puts a counting stand-in behind every entry of the POSIX backend's system-call table. It can
// fail the N-th call with an error, run an action just before the N-th call (to change the disk
// at exactly that moment), fail every call of one kind, and refuse renameat2 flags the way NFS
// and FUSE do. The real table is back when the object goes out of scope.
#include "posix/syscalls.h"

#include <functional>

class SyscallFaults {
public:
    enum Call { Openat, Close, Fstatat, Statx, Mkdirat, Unlinkat, Renameat2, Linkat, Fdopendir,
                Readdir, Closedir, Realpath, CallKinds };

    SyscallFaults();
    ~SyscallFaults();
    SyscallFaults(const SyscallFaults&) = delete;
    SyscallFaults& operator=(const SyscallFaults&) = delete;

    // Starts counting afresh; no fault and no action is pending after it.
    void restart();
    // Fails the n-th call from the last restart (1-based) with the error.
    void failCall(long n, int error);
    // Runs the action just before the n-th call from the last restart is made.
    void beforeCall(long n, std::function<void()> action);
    // Every call of this kind fails with the error (0: works again).
    void failEvery(Call call, int error);
    // renameat2 with any flag fails with EINVAL, as on file systems without RENAME_NOREPLACE.
    void refuseRenameFlags(bool refuse);

    long calls() const;
    // Calls of one kind since the object was made.
    long callsOf(Call call) const;
    bool fired() const;

private:
    commands::SystemCalls saved_;
};
