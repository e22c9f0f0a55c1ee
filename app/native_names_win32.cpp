#include "native_names.h"

#include "win32_text.h"

#include <QtCore/QDir>

#include <windows.h>

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

std::filesystem::path WorkingFolder(int& error)
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = size ? GetCurrentDirectoryW(size, buffer.data()) : 0;
    if (length == 0 || length >= size) {
        error = static_cast<int>(GetLastError());
        return {};
    }
    error = 0;
    buffer.resize(length);
    return NativePath(QString::fromStdWString(buffer));
}

std::filesystem::path HomeFolder() { return NativePath(QDir::homePath()); }

bool IsHidden(const std::filesystem::path& folder, const std::filesystem::path& name)
{
    const DWORD attributes = GetFileAttributesW((folder / name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

QString ErrorText(int code)
{
    // Without the full stop that ends the system's messages: the warning adds its own.
    return QString::fromStdString(commands::SystemMessage(static_cast<unsigned long>(code)));
}

} // namespace app
