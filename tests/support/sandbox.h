#pragma once

#include "read_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

// The Windows test build makes no symbolic links: MinGW's standard library cannot, and Wine 8 has
// none. Tests built on them run on POSIX only.
#ifdef _WIN32
#define SKIP_WITHOUT_SYMLINKS() GTEST_SKIP() << "needs symbolic links, which the Windows build cannot make"
#else
#define SKIP_WITHOUT_SYMLINKS() static_cast<void>(0)
#endif

// A fixture that owns a fresh temporary folder and removes it, whatever the tests left in it.
class Sandbox : public ::testing::Test {
protected:
    Sandbox()
    {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("ffname-test-" + std::to_string(random()));
        fs::create_directories(root_);
    }

    ~Sandbox() override
    {
        std::error_code ignored;
        // Give write permission back first, so that read-only leftovers go too.
        for (auto it = fs::recursive_directory_iterator(root_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            if (!it->is_symlink())
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(root_, ignored);
    }

    const fs::path& root() const { return root_; }
    fs::path at(const fs::path& relative) const { return root_ / relative; }

    fs::path write(const fs::path& relative, const std::string& content = "data")
    {
        const fs::path path = at(relative);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    fs::path folder(const fs::path& relative)
    {
        fs::create_directories(at(relative));
        return at(relative);
    }

    static void makeReadOnly(const fs::path& path)
    {
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write |
                                  fs::perms::others_write,
                        fs::perm_options::remove);
    }

    static bool exists(const fs::path& path) { return fs::exists(fs::symlink_status(path)); }

private:
    fs::path root_;
};
