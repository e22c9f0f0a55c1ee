#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace commands {

// The system calls that the POSIX backend makes, in one table so that tests can make any of
// them fail. The program never changes it.
struct SystemCalls {
    int (*openat)(int dirfd, const char* path, int flags, mode_t mode);
    int (*close)(int fd);
    int (*fstatat)(int dirfd, const char* path, struct stat* st, int flags);
    int (*statx)(int dirfd, const char* path, int flags, unsigned mask, struct statx* stx);
    int (*mkdirat)(int dirfd, const char* path, mode_t mode);
    int (*unlinkat)(int dirfd, const char* path, int flags);
    int (*renameat2)(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                     unsigned flags);
    int (*linkat)(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags);
    DIR* (*fdopendir)(int fd);
    struct dirent* (*readdir)(DIR* dir);
    int (*closedir)(DIR* dir);
    char* (*realpath)(const char* path, char* resolved);
};

// The table in force; tests may swap entries and must restore them.
SystemCalls& systemCalls();
// The real calls.
const SystemCalls& realSystemCalls();

} // namespace commands
