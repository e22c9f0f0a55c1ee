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

} // namespace app
