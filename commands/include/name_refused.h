#pragma once

#include <filesystem>
#include <stdexcept>
#include <utility>

namespace commands {

using Path = std::filesystem::path;

// A name that a command refuses before it touches anything with it: a listed name that is
// not one path element (it holds a separator, or is "." or ".."), which joined to its folder
// would name another entry; or a new name that the system keeps for a device in every folder.
class NameRefused : public std::runtime_error {
public:
    enum class Why { NotOneName, DeviceName };
    NameRefused(Path name, Why why)
        : std::runtime_error("The name cannot be used."), name_(std::move(name)), why_(why)
    {
    }
    const Path& name() const noexcept { return name_; }
    Why why() const noexcept { return why_; }

private:
    Path name_;
    Why why_;
};

// True for a name as a listing gives it that is one path element: not empty, "." or "..", and
// without a separator of the platform's (on Windows both \ and /).
bool IsOneName(const Path& name);
// True for a name that the system keeps for a device in every folder, whatever the extension:
// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 on Windows; none elsewhere.
bool IsDeviceName(const Path& name);

} // namespace commands
