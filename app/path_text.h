#pragma once

#include <QtCore/QString>

#include <filesystem>

namespace app {

// Paths as the operating system names them, and as the window shows them. On Linux a name is
// bytes in the local encoding; on Windows it is UTF-16.

// The text shown for a path or a name.
QString DisplayName(const std::filesystem::path& name);
// The path that a text from Qt (a current directory, a mount path) stands for, written with the
// system's separator.
std::filesystem::path NativePath(const QString& text);

} // namespace app
