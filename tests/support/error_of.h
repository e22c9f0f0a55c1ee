#pragma once

#include "filesystem.h"

#include <gtest/gtest.h>

#include <string>

// The error code that the call fails with; a test failure when it does not fail, or when the
// message does not name the path (a path with a NUL byte cannot be shown whole).
template <typename F>
int errorOf(F&& call)
{
    try {
        call();
    } catch (const commands::FsError& e) {
        const std::u8string path = e.path().u8string();
        const std::string shown(path.begin(), path.end());
        if (shown.find('\0') == std::string::npos) {
            EXPECT_NE(std::string(e.what()).find(shown), std::string::npos)
                << e.what() << " does not name the path";
        }
        return e.code();
    }
    ADD_FAILURE() << "expected a failure";
    return 0;
}
