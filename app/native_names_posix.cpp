#include "native_names.h"

#include <QtCore/QFile>

#include <cstring>

namespace app {

QString DisplayName(const std::filesystem::path& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name.native()));
}

std::filesystem::path NativePath(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

bool IsHidden(const std::filesystem::path& /*folder*/, const std::filesystem::path& name)
{
    return !name.empty() && name.native().front() == '.';
}

QString ErrorText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

} // namespace app
