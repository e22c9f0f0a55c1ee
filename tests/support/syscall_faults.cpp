#include "syscall_faults.h"

#include <array>
#include <cerrno>
#include <tuple>
#include <utility>
#include <type_traits>

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

// The failed result of a call: null for those that return a pointer, else -1.
template <typename Result>
Result failedWith(int error)
{
    errno = error;
    if constexpr (std::is_pointer_v<Result>)
        return nullptr;
    else
        return -1;
}

// The stand-in for one entry of the table: counts the call, then fails it or makes the real one.
// close and closedir still close when they fail, as Linux does; renameat2 refuses its flags
// where the test says so, as a file system without them does.
template <SyscallFaults::Call kind, auto entry>
struct Standin;

template <SyscallFaults::Call kind, typename Result, typename... Args,
          Result (*commands::SystemCalls::*entry)(Args...)>
struct Standin<kind, entry> {
    static Result call(Args... args)
    {
        const int error = step(kind);
        if constexpr (kind == SyscallFaults::Close || kind == SyscallFaults::Closedir) {
            const Result result = (real().*entry)(args...);
            return error ? failedWith<Result>(error) : result;
        }
        if (error)
            return failedWith<Result>(error);
        if constexpr (kind == SyscallFaults::Renameat2)
            if (std::get<4>(std::tie(args...)) != 0 && faults().refuseFlags)
                return failedWith<Result>(EINVAL);
        return (real().*entry)(args...);
    }
};

// A table of stand-ins for the entries given, in the table's order, which the Call kinds follow.
template <auto... entries, std::size_t... kinds>
commands::SystemCalls standins(std::index_sequence<kinds...>)
{
    return {Standin<SyscallFaults::Call(kinds), entries>::call...};
}

} // namespace

SyscallFaults::SyscallFaults() : saved_(commands::systemCalls())
{
    using S = commands::SystemCalls;
    faults() = Faults{};
    commands::systemCalls() =
        standins<&S::openat, &S::close, &S::fstatat, &S::statx, &S::mkdirat, &S::unlinkat,
                 &S::renameat2, &S::linkat, &S::fdopendir, &S::readdir, &S::closedir,
                 &S::realpath>(std::make_index_sequence<CallKinds>());
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
