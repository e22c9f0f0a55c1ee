#include "contenders.h"

#include "bare_limits.h"
#include "peer_tools.h"
#include "folder_paths.h"

#include <QtCore/QFile>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace bench {

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void MakeFiles(const fs::path& folder, int n)
{
    scratch::FillNumbered(folder, n, {"photo_%05d.jpg"});
    sync();
}

void MakeSubfolders(const fs::path& folder, int n, bool withFile)
{
    scratch::FillNumbered(folder, n, {"album_%06d", true, withFile ? "photo.jpg" : nullptr});
    sync();
}

int CountEntries(const fs::path& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent* entry = readdir(dir))
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
            ++count;
    closedir(dir);
    return count;
}

GapMeter::GapMeter()
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { Turn(); });
}

void GapMeter::Start(int everyMs)
{
    longest_ = 0;
    last_ = Clock::now();
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.start(everyMs);
}

void GapMeter::Stop()
{
    Turn();
    timer_.stop();
    measured_ = longest_;
}

void GapMeter::Turn()
{
    const auto now = Clock::now();
    longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
    last_ = now;
}

Program::Program(const fs::path& home)
    : window_([](const std::string& what) { qFatal("%s", what.c_str()); }), home_(home)
{
    fs::current_path(home);
    window_.Start();
    window_.Settle();
}

void Program::Home()
{
    window_.tree().SetPath(home_);
    window_.window().DirFolderRefresh();
    QCoreApplication::processEvents();
}

void Program::Open(const fs::path& folder)
{
    window_.OpenInTree(QString::fromStdString(folder.filename().string()));
    ListedFiles();
    QCoreApplication::processEvents();
}

// Clicks the button and lets the event loop do what the click left for it, measuring how long
// the window went without a turn meanwhile.
double Program::TimedClick(const char* button)
{
    const auto start = Clock::now();
    gaps_.Start();
    QTest::mouseClick(window_.control<QPushButton>(button), Qt::LeftButton);
    QCoreApplication::processEvents();
    gaps_.Stop();
    return Since(start);
}

// Ctrl+Z as the user presses it, timed as a click is.
double Program::TimedUndo()
{
    // The Trash questions may have left no window active: the keys go to the active one.
    window_.window().activateWindow();
    QCoreApplication::processEvents();
    const auto start = Clock::now();
    gaps_.Start();
    QTest::keyClick(&window_.window(), Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    gaps_.Stop();
    return Since(start);
}

int Program::ListedFiles() { return window_.files().model()->rowCount(); }

int Program::ListedSubfolders()
{
    app::FolderTree& tree = window_.tree();
    return tree.model()->rowCount() - static_cast<int>(app::AncestorsOf(tree.Path()).size());
}

Contender Program::OpenFolder(int n, bool subfolders)
{
    return {Role::program, {}, [this, n, subfolders](const fs::path& folder) -> std::optional<double> {
                const auto start = Clock::now();
                Open(folder);
                const double ms = Since(start);
                const int listed = subfolders ? ListedSubfolders() : ListedFiles();
                if (listed != n)
                    qFatal("the window lists %d of %d entries", listed, n);
                return ms;
            }};
}

Contender Program::Command(const char* option, const char* button)
{
    return {Role::program, {}, [this, option, button](const fs::path& folder) -> std::optional<double> {
                Open(folder);
                window_.ClickTab(3);
                window_.TypeName("p");
                window_.Click(option);
                const double ms = TimedClick(button);
                ListedFiles();
                return ms;
            }};
}

std::pair<double, double> Program::CommandThenUndo(const fs::path& folder, const char* option,
                                                   const char* button)
{
    const double command = *Command(option, button).time(folder);
    gaps_.Clear();
    return {command, TimedUndo()};
}

Contender Program::DeleteFolder()
{
    return {Role::program, {}, [this](const fs::path& folder) -> std::optional<double> {
                Open(folder);
                window_.ClickTab(1);
                return TimedClick("cbDel");
            }};
}

long long NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}


} // namespace bench
