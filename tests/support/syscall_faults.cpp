#include "syscall_faults.h"

#include <array>
#include <cerrno>

namespace {

// The stand-ins are plain functions in the table: what they count and fail lives here.
struct Faults {
    long calls = 0;
    long failAt = 0;
    int error = 0;
    long actionAt = 0;
    std::function<void()> action;
    std::array<int, SyscallFaults::CallKinds> always{};
    std::array<long, SyscallFaults::CallKinds> perKind{};
    bool refuseFlags = false;
    bool fired = false;
};

Faults& faults()
{
    static Faults f;
    return f;
}

const commands::SystemCalls& real() { return commands::realSystemCalls(); }

// Counts the call; returns the error it is to fail with, or 0.
int step(SyscallFaults::Call call)
{
    Faults& f = faults();
    ++f.calls;
    ++f.perKind[call];
    if (f.actionAt == f.calls && f.action) {
        auto action = std::move(f.action);
        f.action = nullptr;
        // Another program's changes leave the program's errno as it was.
        const int savedErrno = errno;
        action();
        errno = savedErrno;
    }
    if (f.failAt == f.calls) {
        f.fired = true;
        return f.error;
    }
    return f.always[call];
}

// The table's entries, named as the calls they stand in for.
namespace standin {

int openat(int dirfd, const char* path, int flags, mode_t mode)
{
    if (const int e = step(SyscallFaults::Openat))
        return errno = e, -1;
    return real().openat(dirfd, path, flags, mode);
}

// A failing close still closes, as Linux does.
int close(int fd)
{
    const int e = step(SyscallFaults::Close);
    const int result = real().close(fd);
    return e ? (errno = e, -1) : result;
}

int fstatat(int dirfd, const char* path, struct stat* st, int flags)
{
    if (const int e = step(SyscallFaults::Fstatat))
        return errno = e, -1;
    return real().fstatat(dirfd, path, st, flags);
}

int statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* stx)
{
    if (const int e = step(SyscallFaults::Statx))
        return errno = e, -1;
    return real().statx(dirfd, path, flags, mask, stx);
}

int mkdirat(int dirfd, const char* path, mode_t mode)
{
    if (const int e = step(SyscallFaults::Mkdirat))
        return errno = e, -1;
    return real().mkdirat(dirfd, path, mode);
}

int unlinkat(int dirfd, const char* path, int flags)
{
    if (const int e = step(SyscallFaults::Unlinkat))
        return errno = e, -1;
    return real().unlinkat(dirfd, path, flags);
}

int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, unsigned flags)
{
    if (const int e = step(SyscallFaults::Renameat2))
        return errno = e, -1;
    if (flags != 0 && faults().refuseFlags)
        return errno = EINVAL, -1;
    return real().renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}

int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags)
{
    if (const int e = step(SyscallFaults::Linkat))
        return errno = e, -1;
    return real().linkat(olddirfd, oldpath, newdirfd, newpath, flags);
}

DIR* fdopendir(int fd)
{
    if (const int e = step(SyscallFaults::Fdopendir))
        return errno = e, nullptr;
    return real().fdopendir(fd);
}

struct dirent* readdir(DIR* dir)
{
    if (const int e = step(SyscallFaults::Readdir))
        return errno = e, nullptr;
    return real().readdir(dir);
}

// A failing closedir still closes.
int closedir(DIR* dir)
{
    const int e = step(SyscallFaults::Closedir);
    const int result = real().closedir(dir);
    return e ? (errno = e, -1) : result;
}

char* realpath(const char* path, char* resolved)
{
    if (const int e = step(SyscallFaults::Realpath))
        return errno = e, nullptr;
    return real().realpath(path, resolved);
}

} // namespace standin
} // namespace

SyscallFaults::SyscallFaults() : saved_(commands::systemCalls())
{
    faults() = Faults{};
    commands::SystemCalls& t = commands::systemCalls();
    t.openat = standin::openat;
    t.close = standin::close;
    t.fstatat = standin::fstatat;
    t.statx = standin::statx;
    t.mkdirat = standin::mkdirat;
    t.unlinkat = standin::unlinkat;
    t.renameat2 = standin::renameat2;
    t.linkat = standin::linkat;
    t.fdopendir = standin::fdopendir;
    t.readdir = standin::readdir;
    t.closedir = standin::closedir;
    t.realpath = standin::realpath;
}

SyscallFaults::~SyscallFaults()
{
    commands::systemCalls() = saved_;
    faults() = Faults{};
}

void SyscallFaults::restart()
{
    Faults& f = faults();
    f.calls = 0;
    f.failAt = 0;
    f.actionAt = 0;
    f.action = nullptr;
    f.fired = false;
}

void SyscallFaults::failCall(long n, int error)
{
    faults().failAt = n;
    faults().error = error;
}

void SyscallFaults::beforeCall(long n, std::function<void()> action)
{
    faults().actionAt = n;
    faults().action = std::move(action);
}

void SyscallFaults::failEvery(Call call, int error) { faults().always[call] = error; }
void SyscallFaults::refuseRenameFlags(bool refuse) { faults().refuseFlags = refuse; }
long SyscallFaults::calls() const { return faults().calls; }
long SyscallFaults::callsOf(Call call) const { return faults().perKind[call]; }
bool SyscallFaults::fired() const { return faults().fired; }
