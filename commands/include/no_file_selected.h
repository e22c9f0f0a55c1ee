#pragma once

#include <stdexcept>

namespace commands {

// Rename or Delete on the File page with no file selected.
class NoFileSelected : public std::runtime_error {
public:
    NoFileSelected() : std::runtime_error("No file is selected.") {}
};

} // namespace commands
