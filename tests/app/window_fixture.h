#pragma once

// The window suites' fixture: the real window, driven by the shared driver, started in a
// scratch folder that is the working directory.

#include "path_text.h"
#include "scratch_folder.h"
#include "window_driver.h"
#ifdef _WIN32
#include "shell_dialog_answerer.h"
#endif

#include <QtCore/QDir>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

// Shows texts readably in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace apptest {

namespace fs = std::filesystem;
using driver::AtTurn;
using driver::DialogAnswerer;
using driver::Eventually;
using driver::SeenDialog;
using scratch::Touch;
using Names = std::vector<fs::path>;
using scratch::readFile;

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

// A scratch folder as the working directory and the real window started in it (StartWindow).
class WindowFixture : public ::testing::Test, public driver::WindowDriver {
protected:
    WindowFixture() : WindowDriver([](const std::string& what) { ADD_FAILURE() << what; }) {}

    void SetUp() override
    {
        root = fs::canonical(scratch_.root());
        previousDir_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(app::DisplayName(root)));
    }

    void TearDown() override
    {
        Close();
        QDir::setCurrent(previousDir_);
    }

    void StartWindow(bool turnEveryChange = false) { Start(turnEveryChange); }

    // Which of the pages Folder, File and All Files show.
    std::vector<bool> PagesShown()
    {
        return {control("FrameFolder")->isVisible(), control("FrameFile")->isVisible(),
                control("FrameAllFiles")->isVisible()};
    }

    // Presses the keys in turn in the control that has the focus: the names of the controls
    // focused after each.
    static QStringList PressKeys(const std::vector<Qt::Key>& keys, Qt::KeyboardModifiers modifiers = {})
    {
        QStringList focused;
        for (Qt::Key key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            focused << QApplication::focusWidget()->objectName();
        }
        return focused;
    }

    // The caption that a button, label or frame shows, or the text of a text box.
    static QString CaptionOf(const QWidget& control)
    {
        if (auto* button = qobject_cast<const QAbstractButton*>(&control))
            return button->text();
        if (auto* label = qobject_cast<const QLabel*>(&control))
            return label->text();
        if (auto* frame = qobject_cast<const QGroupBox*>(&control))
            return frame->title();
        if (auto* box = qobject_cast<const QLineEdit*>(&control))
            return box->text();
        return {};
    }

    fs::path root;  // the scratch working directory, canonical

private:
    scratch::ScratchFolder scratch_;
    QString previousDir_;
};

} // namespace apptest
