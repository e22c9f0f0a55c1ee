#pragma once

#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using scratch::readFile;

// The Windows test build makes no symbolic links: MinGW's standard library cannot, and Wine 8 has
// none. Tests built on them run on POSIX only.
#ifdef _WIN32
#define SKIP_WITHOUT_SYMLINKS() GTEST_SKIP() << "needs symbolic links, which the Windows build cannot make"
#else
#define SKIP_WITHOUT_SYMLINKS() static_cast<void>(0)
#endif

// A fixture that owns a fresh scratch folder, removed whatever the tests left in it.
class Sandbox : public ::testing::Test, public scratch::ScratchFolder {
protected:
    static void makeReadOnly(const fs::path& path)
    {
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write |
                                  fs::perms::others_write,
                        fs::perm_options::remove);
    }

    static bool exists(const fs::path& path) { return fs::exists(fs::symlink_status(path)); }
};
