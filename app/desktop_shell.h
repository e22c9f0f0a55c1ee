#pragma once

#include "mainwindow.h"
#include "recycle_bin.h"

#include <memory>

namespace app {

// The window together with the desktop's shell that carries out its Recycle-bin requests: on
// Linux the Trash stand-in, asking over the window in the window's language; on Windows the
// system's shell. The window goes before the shell it uses.
struct DesktopWindow {
    std::unique_ptr<commands::Shell> shell;
    std::unique_ptr<MainWindow> window;
};

// The one start-up wiring of the program, its tests and its benchmark: the window and its
// shell made and joined, and the application's net for failures handing them to the window.
DesktopWindow MakeDesktopWindow();

} // namespace app
