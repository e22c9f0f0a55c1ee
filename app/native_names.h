#pragma once

#include <QtCore/QString>

#include <filesystem>

namespace app {

// Paths as the operating system names them, and as the window shows them. On Linux a name is
// bytes in the local encoding; on Windows it is UTF-16.

// The text shown for a path or a name.
QString DisplayName(const std::filesystem::path& name);
// The text for showing a name or path in a list, a label or a message: control characters,
// line and paragraph separators and the marks that reorder text (bidirectional overrides,
// isolates, embeddings) each become U+FFFD, so that a name can neither break lines, nor hide
// or disguise a part of itself. Set it as plain text: it may still hold "<" and "&".
QString ShownText(const QString& text);
QString ShownName(const std::filesystem::path& name);
// The path that a text from Qt (a current directory, a mount path) stands for, written with the
// system's separator.
std::filesystem::path NativePath(const QString& text);
// The working folder as the system names it; empty when it cannot be had (removed meanwhile,
// or longer than the system takes), with the system's error code in `error`.
std::filesystem::path WorkingFolder(int& error);
// The user's home folder; empty when there is none.
std::filesystem::path HomeFolder();
// True for an entry that the lists leave out: a name starting with a dot on Linux, an entry with
// the hidden attribute on Windows.
bool IsHidden(const std::filesystem::path& folder, const std::filesystem::path& name);
// The system's words for the error code that a failed file-system call reported.
QString ErrorText(int code);

} // namespace app
