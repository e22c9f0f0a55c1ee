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
// True for an entry that the lists leave out: a name starting with a dot on Linux, an entry with
// the hidden attribute on Windows.
bool IsHidden(const std::filesystem::path& folder, const std::filesystem::path& name);
// The system's words for the error code that a failed file-system call reported.
QString ErrorText(int code);

} // namespace app
