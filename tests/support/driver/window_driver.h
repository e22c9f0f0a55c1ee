#pragma once

// The real window, started in the working directory and driven as a user drives it: for the
// window suites and the benchmark alike.

#include "desktop_shell.h"
#include "dialog_answerer.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_tree.h"
#include "mainwindow.h"

#include <QtCore/QTimer>
#include <QtWidgets/QProgressDialog>

#include <functional>
#include <string>

namespace driver {

// Runs events until the condition holds or the time is up, for a notice from the system.
bool Eventually(const std::function<bool()>& condition, int milliseconds = 5000);

// Acts once, at the first turn of the event loop at which the condition holds: within a long
// command, whose walk gives the event loop a turn before every change once the window's
// progress timing is zero (Start's `turnEveryChange`).
class AtTurn final : public QObject {
public:
    AtTurn(std::function<bool()> due, std::function<void()> act);

private:
    QTimer timer_;
};

// Whether the platform has the window system's own close request (not offscreen).
bool WindowSystemCloses();
// Sends the window the request that the window system sends when a person closes it: on X11
// the window manager's WM_PROTOCOLS message with WM_DELETE_WINDOW, from a connection of its
// own; on Windows WM_CLOSE, posted. It arrives at a later turn of the event loop.
void SendCloseRequest(QWidget& window);

class WindowDriver {
public:
    // Told of every control or entry that the window lacks: a test failure, or the end of a run.
    using Complaint = std::function<void(const std::string&)>;
    explicit WindowDriver(Complaint complain) : complain_(std::move(complain)) {}
    virtual ~WindowDriver() { Close(); }

    // Starts the window in the working directory (fill the folder first). With
    // turnEveryChange, a long command hands the event loop a turn before each of its changes
    // and shows its progress at once.
    void Start(bool turnEveryChange = false);
    // Runs the event loop until the window is on screen and everything pending is done.
    void Settle();
    void Close();
    // During a command, closes the window as a person does through the window system: sends
    // its close request and runs the event loop until the command is stopped.
    void CloseThroughWindowSystem();

    app::MainWindow& window() { return *window_; }
    // The window's control of that name and kind; a complaint when there is none.
    template <class Control = QWidget>
    Control* control(const char* name)
    {
        auto* found = window_->findChild<Control*>(QLatin1String(name));
        if (!found)
            complain_(std::string("no control ") + name);
        return found;
    }
    app::DriveList& drives() { return *control<app::DriveList>("DirDrive"); }
    app::FolderTree& tree() { return *control<app::FolderTree>("DirFolder"); }
    app::FileList& files() { return *control<app::FileList>("DirFiles"); }
    // The progress dialog of the command that runs; null when none shows.
    QProgressDialog* progressDialog();

    // Clicks a button of the window's command table (commands::commandButtons) on its page,
    // showing the page first, or an option on its round box.
    void Click(const char* name);
    // Double-clicks the button as a window system does: press, release, then a press and a
    // double click event close behind.
    void DoubleClick(const char* name);
    // Types the text into the name box, replacing what was there.
    void TypeName(const QString& text);
    // Clicks tab 1, 2 or 3 of the tab strip.
    void ClickTab(int tab);
    // The row of the folder tree that shows this text; -1 when there is none.
    int TreeRow(const QString& text);
    // The texts of the folder tree's rows, top down.
    QStringList TreeTexts();
    // Double-clicks the folder tree's entry with this text, as a user opens a folder.
    void OpenInTree(const QString& text);

private:
    Complaint complain_;
    std::unique_ptr<app::MainWindow> window_;
};

} // namespace driver
