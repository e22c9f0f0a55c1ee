#include "path_text.h"

#include <QtCore/QDir>

namespace app {

QString DisplayName(const std::filesystem::path& name)
{
    return QString::fromStdWString(name.native());
}

std::filesystem::path NativePath(const QString& text)
{
    QString native = QDir::toNativeSeparators(text);
    // The drive letter as the logical drives give it ("C:\"), whatever case the text had, so
    // that a folder matches its drive in the drive list.
    if (native.size() >= 2 && native[1] == u':')
        native[0] = native[0].toUpper();
    return native.toStdWString();
}

} // namespace app
