#pragma once

#include "mainwindow.h"

#include <memory>

namespace app {

// The one start-up wiring of the program, its tests and its benchmark: the window, made with
// the desktop's shell that carries out its Recycle-bin requests (on Linux the Trash stand-in,
// asking over the window in the window's language; on Windows the system's shell), and the
// application's net for failures handing them to the window.
std::unique_ptr<MainWindow> MakeDesktopWindow();

} // namespace app
