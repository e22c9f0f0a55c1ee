#include "trash_shell.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMetaMethod>
#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QWindow>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>

#include <gio/gio.h>

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

constexpr int lineWidth = 60;

// Breaks a long name or path into lines of at most lineWidth characters.
QString broken(const QString& text, int width = lineWidth)
{
    QString lines;
    for (int start = 0; start < text.size(); start += width)
        lines += (start ? QStringLiteral("\n") : QString()) + text.mid(start, width);
    return lines;
}

// Plain text in lines, sized by its line count alone. A label measures its text at every change,
// which costs more than moving a file to the Trash when Delete All asks once per file.
class LinesLabel final : public QWidget {
public:
    explicit LinesLabel(QWidget* parent) : QWidget(parent) {}

    void setText(const QString& text)
    {
        const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
        setAccessibleName(text);
        if (lines != lines_) {  // the layout is asked again only when the size changes
            lines_ = lines;
            updateGeometry();
        }
        update();
    }
    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.averageCharWidth() * (lineWidth + 4), metrics.lineSpacing() * lines_};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, accessibleName());
    }

private:
    int lines_ = 1;
};

// The question asked once per file. Qt closes a dialog when it is answered, which destroys its
// native window, and the next question makes that window anew: a third of a question's cost.
// Hidden instead, one native window serves every question.
class Question final : public QDialog {
public:
    using QDialog::QDialog;

    void done(int result) override
    {
        setResult(result);
        hide();  // ends exec()
    }
};

struct Texts {
    const char* questionTitle;
    const char* question;
    const char* yes;
    const char* no;
    const char* failureTitle;
    const char* failure;
};

constexpr Texts english{"Delete File", "Do you want to move \u201c%1\u201d to the Trash?", "Yes", "No",
                        "Delete File", "\u201c%1\u201d could not be moved to the Trash: %2"};
constexpr Texts russian{"Удаление файла", "Переместить «%1» в корзину?", "Да", "Нет",
                        "Удаление файла",
                        "Не удалось переместить «%1» в корзину: %2"};

// Qt 6.4 connects a window's focusObjectChanged to the application each time the window is
// activated, and a dialog that hides is not always disconnected again. A question asked once
// per file would then gather one connection per file, and every later activation would call
// them all: Delete All would grow slower with every file. The connection is made anew at the
// next activation. (The methods are looked up once: a disconnect by signature parses it anew.)
void forgetFocusConnection(QWindow* window)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&QWindow::focusObjectChanged);
    static const QMetaMethod slot = QGuiApplication::staticMetaObject.method(
        QGuiApplication::staticMetaObject.indexOfSlot("_q_updateFocusObject(QObject*)"));
    if (window)
        QObject::disconnect(window, signal, qApp, slot);
}

} // namespace

TrashShell::~TrashShell()
{
    if (question_ && !question_->parent())
        delete question_;
}

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

bool TrashShell::confirm(const QString& shownPath)
{
    const Texts& texts = (russian_ && russian_()) ? russian : english;
    if (!question_ || question_->parentWidget() != owner_)
        makeQuestion();
    question_->setWindowTitle(QString::fromUtf8(texts.questionTitle));
    static_cast<LinesLabel*>(questionText_)
        ->setText(QString::fromUtf8(texts.question).arg(broken(QFileInfo(shownPath).fileName())));
    static_cast<LinesLabel*>(questionFolder_)->setText(broken(QFileInfo(shownPath).path()));
    questionButtons_->button(QDialogButtonBox::Yes)->setText(QString::fromUtf8(texts.yes));
    questionButtons_->button(QDialogButtonBox::No)->setText(QString::fromUtf8(texts.no));
    const ArrowCursor arrow;
    const bool yes = question_->exec() == QDialog::Accepted;
    forgetFocusConnection(question_->windowHandle());
    return yes;
}

void TrashShell::makeQuestion()
{
    delete question_;
    question_ = new Question(owner_);
    question_->setObjectName("TrashQuestion");
    question_->setModal(true);
    auto* icon = new QLabel(question_);
    const int size = question_->style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(question_->style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size));
    questionText_ = new LinesLabel(question_);
    questionFolder_ = new LinesLabel(question_);
    questionButtons_ =
        new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, question_);
    // Yes is the default button; Esc answers No.
    questionButtons_->button(QDialogButtonBox::Yes)->setDefault(true);
    QObject::connect(questionButtons_, &QDialogButtonBox::accepted, question_, &QDialog::accept);
    QObject::connect(questionButtons_, &QDialogButtonBox::rejected, question_, &QDialog::reject);
    auto* layout = new QGridLayout(question_);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(questionText_, 0, 1);
    layout->addWidget(questionFolder_, 1, 1);
    layout->addWidget(questionButtons_, 2, 0, 1, 2);
    question_->setMinimumWidth(360);
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
