#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace commands {

using Path = std::filesystem::path;

// A failed file-system call: the OS error code and a message naming the path.
class FsError : public std::runtime_error {
public:
    FsError(int code, const Path& path, const std::string& operation);
    int code() const noexcept { return code_; }
    const Path& path() const noexcept { return path_; }

private:
    int code_;
    Path path_;
};

} // namespace commands
