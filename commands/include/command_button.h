#pragma once

#include "command_frame.h"

#include <array>

namespace commands {

// The eight command buttons, by control name, and the procedure that each one's click runs:
// the window's wiring, the tests and the benchmark all go by this one table.
struct CommandButton {
    const char* control;
    void (CommandFrame::*procedure)();
};
inline constexpr std::array<CommandButton, 8> commandButtons = {{
    {"cbCr", &CommandFrame::cbCr_Click},
    {"cbRen", &CommandFrame::cbRen_Click},
    {"cbDel", &CommandFrame::cbDel_Click},
    {"cbCrFile", &CommandFrame::cbCrFile_Click},
    {"cbRenFile", &CommandFrame::cbRenFile_Click},
    {"cbDelFile", &CommandFrame::cbDelFile_Click},
    {"cbDelAll", &CommandFrame::cbDelAll_Click},
    {"cbRenAll", &CommandFrame::cbRenAll_Click},
}};

} // namespace commands
