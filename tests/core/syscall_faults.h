#pragma once

// Puts a counting stand-in behind every entry of the POSIX backend's system-call table. It can
// fail the N-th call with an error, run an action just before the N-th call (to change the disk
// at exactly that moment), fail every call of one kind, and refuse renameat2 flags the way NFS
// and FUSE do. The real table is back when the object goes out of scope.
#include "posix_syscalls.h"

#include <array>
#include <cerrno>
#include <functional>

class SyscallFaults {
public:
    enum Call { Openat, Close, Fstatat, Statx, Mkdirat, Unlinkat, Renameat2, Linkat, Fdopendir,
                Readdir, Closedir, Realpath, CallKinds };

    SyscallFaults() : saved_(commands::systemCalls())
    {
        state() = State{};
        commands::SystemCalls& t = commands::systemCalls();
        t.openat = openat;
        t.close = close;
        t.fstatat = fstatat;
        t.statx = statx;
        t.mkdirat = mkdirat;
        t.unlinkat = unlinkat;
        t.renameat2 = renameat2;
        t.linkat = linkat;
        t.fdopendir = fdopendir;
        t.readdir = readdir;
        t.closedir = closedir;
        t.realpath = realpath;
    }
    ~SyscallFaults()
    {
        commands::systemCalls() = saved_;
        state() = State{};
    }
    SyscallFaults(const SyscallFaults&) = delete;
    SyscallFaults& operator=(const SyscallFaults&) = delete;

    // Starts counting afresh; no fault and no action is pending after it.
    void restart()
    {
        State& s = state();
        s.calls = 0;
        s.failAt = 0;
        s.actionAt = 0;
        s.action = nullptr;
        s.fired = false;
    }
    // Fails the n-th call from the last restart (1-based) with the error.
    void failCall(long n, int error)
    {
        state().failAt = n;
        state().error = error;
    }
    // Runs the action just before the n-th call from the last restart is made.
    void beforeCall(long n, std::function<void()> action)
    {
        state().actionAt = n;
        state().action = std::move(action);
    }
    // Every call of this kind fails with the error (0: works again).
    void failEvery(Call call, int error) { state().always[call] = error; }
    // renameat2 with any flag fails with EINVAL, as on file systems without RENAME_NOREPLACE.
    void refuseRenameFlags(bool refuse) { state().refuseFlags = refuse; }

    long calls() const { return state().calls; }
    // Calls of one kind since the object was made.
    long callsOf(Call call) const { return state().perKind[call]; }
    bool fired() const { return state().fired; }

private:
    struct State {
        long calls = 0;
        long failAt = 0;
        int error = 0;
        long actionAt = 0;
        std::function<void()> action;
        std::array<int, CallKinds> always{};
        std::array<long, CallKinds> perKind{};
        bool refuseFlags = false;
        bool fired = false;
    };
    static State& state()
    {
        static State s;
        return s;
    }
    static const commands::SystemCalls& real() { return commands::realSystemCalls(); }

    // Counts the call; returns the error it is to fail with, or 0.
    static int step(Call call)
    {
        State& s = state();
        ++s.calls;
        ++s.perKind[call];
        if (s.actionAt == s.calls && s.action) {
            auto action = std::move(s.action);
            s.action = nullptr;
            // Another program's changes leave the program's errno as it was.
            const int savedErrno = errno;
            action();
            errno = savedErrno;
        }
        if (s.failAt == s.calls) {
            s.fired = true;
            return s.error;
        }
        return s.always[call];
    }

    static int openat(int dirfd, const char* path, int flags, mode_t mode)
    {
        if (const int e = step(Openat))
            return errno = e, -1;
        return real().openat(dirfd, path, flags, mode);
    }
    // A failing close still closes, as Linux does.
    static int close(int fd)
    {
        const int e = step(Close);
        const int result = real().close(fd);
        return e ? (errno = e, -1) : result;
    }
    static int fstatat(int dirfd, const char* path, struct stat* st, int flags)
    {
        if (const int e = step(Fstatat))
            return errno = e, -1;
        return real().fstatat(dirfd, path, st, flags);
    }
    static int statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* stx)
    {
        if (const int e = step(Statx))
            return errno = e, -1;
        return real().statx(dirfd, path, flags, mask, stx);
    }
    static int mkdirat(int dirfd, const char* path, mode_t mode)
    {
        if (const int e = step(Mkdirat))
            return errno = e, -1;
        return real().mkdirat(dirfd, path, mode);
    }
    static int unlinkat(int dirfd, const char* path, int flags)
    {
        if (const int e = step(Unlinkat))
            return errno = e, -1;
        return real().unlinkat(dirfd, path, flags);
    }
    static int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                         unsigned flags)
    {
        if (const int e = step(Renameat2))
            return errno = e, -1;
        if (flags != 0 && state().refuseFlags)
            return errno = EINVAL, -1;
        return real().renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
    }
    static int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                      int flags)
    {
        if (const int e = step(Linkat))
            return errno = e, -1;
        return real().linkat(olddirfd, oldpath, newdirfd, newpath, flags);
    }
    static DIR* fdopendir(int fd)
    {
        if (const int e = step(Fdopendir))
            return errno = e, nullptr;
        return real().fdopendir(fd);
    }
    static struct dirent* readdir(DIR* dir)
    {
        if (const int e = step(Readdir))
            return errno = e, nullptr;
        return real().readdir(dir);
    }
    // A failing closedir still closes.
    static int closedir(DIR* dir)
    {
        const int e = step(Closedir);
        const int result = real().closedir(dir);
        return e ? (errno = e, -1) : result;
    }
    static char* realpath(const char* path, char* resolved)
    {
        if (const int e = step(Realpath))
            return errno = e, nullptr;
        return real().realpath(path, resolved);
    }

    commands::SystemCalls saved_;
};
