#include "path_text.h"

#include <QtCore/QFile>

namespace app {

QString DisplayName(const std::filesystem::path& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name.native()));
}

std::filesystem::path NativePath(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

} // namespace app
