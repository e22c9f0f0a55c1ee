#pragma once

// Helpers shared by the window suites and the Trash suite: a fixture that starts the real
// window in a temporary folder, a modal-dialog answerer, and lookups of controls by name.

#include "application.h"
#include "desktop_shell.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_tree.h"
#include "mainwindow.h"
#include "path_text.h"
#ifdef _WIN32
#include "shell_dialog_answerer.h"
#else
#include "shell_posix.h"
#include "trash_questions.h"
#endif

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QImage>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QProgressDialog>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include "read_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

// Shows texts readably in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace apptest {

namespace fs = std::filesystem;

// Creates an empty file, or one with the given contents.
inline void Touch(const fs::path& file, const std::string& contents = {})
{
    std::ofstream(file, std::ios::binary) << contents;
}

// What one dialog showed when it was answered.
struct SeenDialog {
    QString name;  // its objectName
    QString text;  // its labels' texts and its texts' accessible names
    QImage image;
    QSize size;  // its frame's
    Qt::TextFormat textFormat = Qt::AutoText;  // a message box's; AutoText for other dialogs
    bool fitsItsScreen = false;  // the frame and each button whole inside the available area
    bool labelsShowAllText = true;  // no visible label clips its text
};

// Answers every modal dialog that opens while it lives (message boxes and the Trash question):
// clicks the next button of its list (the last one again once the list is used up), or closes
// the dialog when it has no such button; or, given keys, presses the next key in the dialog.
// Keeps the text of each dialog it answered and what the dialog showed.
class ModalAnswerer final : public QObject {
public:
    explicit ModalAnswerer(std::initializer_list<QMessageBox::StandardButton> answers = {
                               QMessageBox::Ok})
        : answers_(answers)
    {
        qApp->installEventFilter(this);
    }
    struct Keys {
        std::vector<Qt::Key> keys;
    };
    explicit ModalAnswerer(Keys keys) : keys_(std::move(keys.keys)) { qApp->installEventFilter(this); }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }

    // The texts of the dialogs answered, in order: a message box's text, or the accessible
    // names of another dialog's parts.
    const QStringList& texts() const { return texts_; }
    // What each dialog answered showed, in order.
    const std::vector<SeenDialog>& seen() const { return seen_; }
    // The dialogs' object names, in order.
    QStringList names() const
    {
        QStringList names;
        for (const SeenDialog& dialog : seen_)
            names << dialog.name;
        return names;
    }

    // Runs before each answer, given the answer's number (from 0): another program's doings
    // while a question is open.
    std::function<void(std::size_t)> beforeAnswer;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        // One answer per showing; a dialog may be shown again for the next question. A long
        // command's progress is no question.
        if (dialog && event->type() == QEvent::Show && dialog->isModal() &&
            !qobject_cast<QProgressDialog*>(dialog) && !dialog->property(pending).toBool()) {
            dialog->setProperty(pending, true);
            texts_.append(TextOf(*dialog));
            const std::size_t index = std::size_t(texts_.size() - 1);
            // Answered once the dialog's own event loop runs.
            QTimer::singleShot(0, dialog, [this, dialog, index] {
                dialog->setProperty(pending, false);
                if (beforeAnswer)
                    beforeAnswer(index);
                seen_.push_back(Look(*dialog));
                if (keys_.empty())
                    ClickAnswer(*dialog, index);
                else if (index < keys_.size())
                    QTest::keyClick(dialog, keys_[index]);
            });
        }
        return false;
    }

private:
    void ClickAnswer(QDialog& dialog, std::size_t index) const
    {
        const QMessageBox::StandardButton answer =
            answers_.empty() ? QMessageBox::Ok : answers_[std::min(index, answers_.size() - 1)];
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QAbstractButton* button =
            buttons ? buttons->button(QDialogButtonBox::StandardButton(int(answer))) : nullptr;
        if (!button && answer == QMessageBox::Abort)  // the Trash question's Stop
            button = dialog.findChild<QPushButton*>(QStringLiteral("Stop"));
        if (button)
            button->click();
        else
            dialog.reject();
    }

    static QString TextOf(const QDialog& dialog)
    {
        if (auto* box = qobject_cast<const QMessageBox*>(&dialog))
            return box->text();
        return AccessibleNames(dialog).join(QLatin1Char('\n'));
    }

    static QStringList AccessibleNames(const QWidget& dialog)
    {
        QStringList texts;
        for (const QWidget* child : dialog.findChildren<QWidget*>())
            if (!child->accessibleName().isEmpty())
                texts << child->accessibleName();
        return texts;
    }

    static SeenDialog Look(QDialog& dialog)
    {
        SeenDialog seen{dialog.objectName(), {}, dialog.grab().toImage(),
                        dialog.frameGeometry().size()};
        if (auto* box = qobject_cast<const QMessageBox*>(&dialog))
            seen.textFormat = box->textFormat();
        seen.fitsItsScreen = FitsItsScreen(dialog);
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
            if (label->isVisible() && !label->text().isEmpty())
                seen.labelsShowAllText = seen.labelsShowAllText && ShowsAllItsText(*label);
        }
        seen.text = (texts + AccessibleNames(dialog)).join(QLatin1Char('\n'));
        return seen;
    }

    // Whether the dialog's frame lies inside its screen's available area, with each of its
    // buttons shown whole inside it.
    static bool FitsItsScreen(const QWidget& dialog)
    {
        const QRect room = dialog.screen()->availableGeometry();
        const auto* box = dialog.findChild<QDialogButtonBox*>();
        if (!room.contains(dialog.frameGeometry()) || !box || box->buttons().isEmpty())
            return false;
        for (const QAbstractButton* button : box->buttons())
            if (!button->isVisible() || button->visibleRegion().boundingRect() != button->rect() ||
                !room.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
                return false;
        return true;
    }

    // Whether a label shows all of its text: no word wider than the label, no line below it.
    static bool ShowsAllItsText(const QLabel& label)
    {
        return label.minimumSizeHint().width() <= label.width() &&
               (!label.hasHeightForWidth() || label.heightForWidth(label.width()) <= label.height());
    }

    static constexpr const char* pending = "ffnameAnswerPending";
    std::vector<QMessageBox::StandardButton> answers_;
    std::vector<Qt::Key> keys_;
    QStringList texts_;
    std::vector<SeenDialog> seen_;
};

// Runs events until the condition holds or the time is up, for a notice from the system.
inline bool Eventually(const std::function<bool()>& condition, int milliseconds = 5000)
{
    return QTest::qWaitFor(condition, milliseconds);
}

// Acts once, at the first turn of the event loop at which the condition holds: within a long
// command, whose walk gives the event loop a turn before every change once the window's
// progress timing is zero (StartWindow's `turnEveryChange`).
class AtTurn final : public QObject {
public:
    AtTurn(std::function<bool()> due, std::function<void()> act)
    {
        connect(&timer_, &QTimer::timeout, this, [this, due, act] {
            if (due()) {
                timer_.stop();
                act();
            }
        });
        timer_.start(0);
    }

private:
    QTimer timer_;
};

// The scratch Trash's folder of trashed files (the suites' XDG_DATA_HOME).
#ifdef _WIN32
inline fs::path TrashFiles() { return WineTrash() / "files"; }
#else
inline fs::path TrashFiles() { return fs::path(std::getenv("XDG_DATA_HOME")) / "Trash" / "files"; }
#endif


// Where the question about the Trash is the Linux stand-in's (a Qt dialog that the suites
// answer); on Windows the question is the system shell's own window.
#ifdef _WIN32
#define SKIP_WITHOUT_THE_TRASH_QUESTION() \
    GTEST_SKIP() << "the Recycle Bin's question is the shell's own window here"
#else
#define SKIP_WITHOUT_THE_TRASH_QUESTION() static_cast<void>(0)
#endif

// A temporary folder as the working directory and the real window started in it.
class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        root = fs::canonical(temp_.path().toStdU16String());
        previousDir_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(app::DisplayName(root)));
    }

    void TearDown() override
    {
        desktop_.window.reset();  // the window goes before the shell it uses
        desktop_.shell.reset();
        QDir::setCurrent(previousDir_);
        std::error_code error;
        fs::remove_all(root, error);  // also names that are not UTF-8, which Qt cannot remove
    }

    // Starts the window in the working directory (fill the folder first). With
    // turnEveryChange, a long command hands the event loop a turn before each of its changes
    // and shows its progress at once.
    void StartWindow(bool turnEveryChange = false)
    {
        desktop_ = app::MakeDesktopWindow();
        if (turnEveryChange)
            desktop_.window->WalkProgress().SetTiming({}, {});
        desktop_.window->show();
    }

    // The progress dialog of the command that runs; null when none shows.
    QProgressDialog* progressDialog()
    {
        auto* dialog = desktop_.window->findChild<QProgressDialog*>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }

    app::MainWindow& window() { return *desktop_.window; }

    // The window's control of that name and kind; a test failure when there is none.
    template <class Control = QWidget>
    Control* control(const char* name)
    {
        auto* found = desktop_.window->findChild<Control*>(QLatin1String(name));
        if (!found)
            ADD_FAILURE() << "no control " << name;
        return found;
    }

    app::DriveList& drives() { return *control<app::DriveList>("DirDrive"); }
    app::FolderTree& tree() { return *control<app::FolderTree>("DirFolder"); }
    app::FileList& files() { return *control<app::FileList>("DirFiles"); }

    // Clicks a command button, or an option on its round box, with the mouse.
    void Click(const char* name)
    {
        QAbstractButton* button = control<QAbstractButton>(name);
        const QPoint at = qobject_cast<QRadioButton*>(button) ? QPoint(8, button->height() / 2)
                                                             : button->rect().center();
        QTest::mouseClick(button, Qt::LeftButton, {}, at);
    }

    // Double-clicks the button as a window system does: press, release, then a press and a
    // double click event close behind.
    void DoubleClick(const char* name)
    {
        QAbstractButton* button = control<QAbstractButton>(name);
        const QPointF at = button->rect().center();
        const auto send = [&](QEvent::Type type, quint64 time) {
            QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              {});
            event.setTimestamp(time);
            QApplication::sendEvent(button, &event);
        };
        const quint64 start = 1'000'000'000;
        send(QEvent::MouseButtonPress, start);
        send(QEvent::MouseButtonRelease, start + 60);
        send(QEvent::MouseButtonPress, start + 150);
        send(QEvent::MouseButtonDblClick, start + 150);
        send(QEvent::MouseButtonRelease, start + 210);
    }

    // Types the text into the name box, replacing what was there.
    void TypeName(const QString& text)
    {
        auto* box = control<QLineEdit>("txtName");
        box->clear();
        QTest::keyClicks(box, text);
    }

    // Clicks tab 1, 2 or 3 of the tab strip.
    void ClickTab(int tab)
    {
        QTabBar* tabs = control<QTabBar>("TabStrip1");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
    }

    // The row of the folder tree that shows this text; -1 when there is none.
    int TreeRow(const QString& text)
    {
        QAbstractItemModel* model = tree().model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 0).data().toString() == text)
                return row;
        return -1;
    }

    // Double-clicks the folder tree's entry with this text, as a user opens a folder.
    void OpenInTree(const QString& text)
    {
        const int row = TreeRow(text);
        ASSERT_GE(row, 0) << "the tree does not show " << text.toStdString();
        app::FolderTree& view = tree();
        const QModelIndex index = view.model()->index(row, 0);
        view.scrollTo(index);
        const QPoint at = view.visualRect(index).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    }

    fs::path root;  // the temporary working directory, canonical

private:
    QTemporaryDir temp_;
    QString previousDir_;
    app::DesktopWindow desktop_;
};

} // namespace apptest
