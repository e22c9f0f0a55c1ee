#pragma once

#include <QtCore/QString>

#include <filesystem>

namespace app {

// The text for showing a name or path in a list, a label or a message: control characters,
// line and paragraph separators and the marks that reorder text (bidirectional overrides,
// isolates, embeddings) each become U+FFFD, so that a name can neither break lines, nor hide
// or disguise a part of itself. Set it as plain text: it may still hold "<" and "&".
QString ShownText(const QString& text);
QString ShownName(const std::filesystem::path& name);

} // namespace app
