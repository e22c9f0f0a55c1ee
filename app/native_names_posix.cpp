#include "native_names.h"

#include <QtCore/QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace app {

QString DisplayName(const std::filesystem::path& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name.native()));
}

std::filesystem::path NativePath(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

std::filesystem::path WorkingFolder(int& error)
{
    std::string buffer(4096, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        error = errno;
        return {};
    }
    error = 0;
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

std::filesystem::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir && *user->pw_dir == '/')
        return user->pw_dir;
    return {};
}

bool IsHidden(const std::filesystem::path& /*folder*/, const std::filesystem::path& name)
{
    return !name.empty() && name.native().front() == '.';
}

QString ErrorText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

} // namespace app
