#include "trash_shell.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QMessageBox>

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <string>
#include <vector>

namespace app {

namespace {

using Request = commands::ShellFileOperation;

// The paths of a double-NUL-terminated list.
std::vector<std::string> pathsOf(const Request& request)
{
    std::vector<std::string> paths;
    const std::string& list = request.pFrom;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        if (end == start)
            break;
        paths.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

// Shows the normal arrow over a question even while a command shows the busy cursor.
class ArrowCursor {
public:
    ArrowCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QGuiApplication::restoreOverrideCursor(); }
};

struct Texts {
    const char* questionTitle;
    const char* question;
    const char* failureTitle;
    const char* failure;
};

constexpr Texts english{"Delete File", "Do you want to move \u201c%1\u201d to the Trash?",
                        "Delete File", "\u201c%1\u201d could not be moved to the Trash: %2"};
constexpr Texts russian{"Удаление файла", "Переместить «%1» в корзину?", "Удаление файла",
                        "Не удалось переместить «%1» в корзину: %2"};

} // namespace

void TrashShell::attach(QWidget* owner, std::function<bool()> russian)
{
    owner_ = owner;
    russian_ = std::move(russian);
}

int TrashShell::SHFileOperation(commands::ShellFileOperation& request)
{
    // Only deletion that can be undone is ever carried out: never a permanent delete.
    if (request.wFunc != Request::foDelete || !(request.fFlags & Request::fofAllowUndo))
        return 1;
    int result = 0;
    for (const std::string& path : pathsOf(request)) {
        const QString shown = QFile::decodeName(QByteArray::fromStdString(path));
        if (!(request.fFlags & Request::fofNoConfirmation) && !confirm(shown)) {
            request.fAnyOperationsAborted = true;
            continue;
        }
        GFile* file = g_file_new_for_path(path.c_str());
        GError* error = nullptr;
        if (!g_file_trash(file, nullptr, &error)) {
            result = 1;
            if (!(request.fFlags & (Request::fofNoErrorUi | Request::fofSilent)))
                reportFailure(shown, QString::fromUtf8(error->message));
            g_error_free(error);
        }
        g_object_unref(file);
    }
    return result;
}

bool TrashShell::confirm(const QString& shownPath) const
{
    const Texts& texts = (russian_ && russian_()) ? russian : english;
    const ArrowCursor arrow;
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(texts.questionTitle),
                    QString::fromUtf8(texts.question).arg(QFileInfo(shownPath).fileName()),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setObjectName("TrashQuestion");
    box.setInformativeText(QFileInfo(shownPath).path());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TrashShell::reportFailure(const QString& shownPath, const QString& reason) const
{
    const Texts& texts = (russian_ && russian_()) ? russian : english;
    const ArrowCursor arrow;
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(texts.failureTitle),
                    QString::fromUtf8(texts.failure).arg(shownPath, reason), QMessageBox::Ok,
                    owner_);
    box.setObjectName("TrashFailure");
    box.exec();
}

} // namespace app
