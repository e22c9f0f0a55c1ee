#include "contenders.h"

#include "bare_limits.h"
#include "captions.h"
#include "peer_tools.h"
#include "folder_paths.h"
#include "layout.h"

#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
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

namespace {

constexpr const char* startNames[] = {"real", "bare", "floor"};
constexpr const char* stormNames[] = {"make-delete", "rm-rf"};

long long NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// This process's processor time so far, user and system, in milliseconds.
double CpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long PeakRssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// A control of the layout table's kind, with its start caption where it shows one.
QWidget* BareControl(app::ControlKind kind, const QString& caption, QWidget* container)
{
    using Kind = app::ControlKind;
    if (kind == Kind::DriveList)
        return new QComboBox(container);
    if (kind == Kind::FolderTree || kind == Kind::FileList)
        return new QListView(container);
    if (kind == Kind::TextBox)
        return new QLineEdit(container);
    if (kind == Kind::Label)
        return new QLabel(caption, container);
    if (kind == Kind::Frame)
        return new QGroupBox(caption, container);
    if (kind == Kind::Option)
        return new QRadioButton(caption, container);
    if (kind == Kind::Button)
        return new QPushButton(caption, container);
    auto* tabs = new QTabBar(container);
    for (const char* tab : {"Folder", "File", "All Files"})
        tabs->addTab(QString::fromUtf8(tab));
    return tabs;
}

// A bare window of the window's layout table: the same kinds of controls, places and fonts,
// for start-up and memory: what any window of this layout costs, with no drives or folders read.
std::unique_ptr<QWidget> BareWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setFont(app::WindowFont());
    window->setFixedSize(app::TwipsToPixels(app::windowWidthTwips, window->logicalDpiX()),
                         app::TwipsToPixels(app::windowHeightTwips, window->logicalDpiY()));
    for (const app::ControlLayout& row : app::windowLayout) {
        QWidget* container =
            row.container ? window->findChild<QWidget*>(QLatin1String(row.container)) : window.get();
        QWidget* control =
            BareControl(row.kind, QString::fromUtf8(app::StartCaption(row.name)), container);
        control->setObjectName(QLatin1String(row.name));
        control->setGeometry(app::TwipsToPixels(row, window->logicalDpiX(), window->logicalDpiY()));
        if (row.font != app::ControlFont::Default)
            control->setFont(app::LayoutFont(row.font, window->font()));
    }
    return window;
}

// The entries that the window's lists show.
long Listed(const QWidget& window)
{
    long listed = 0;
    for (const char* list : {"DirFiles", "DirFolder"})
        if (auto* view = window.findChild<QAbstractItemView*>(list); view && view->model())
            listed += view->model()->rowCount();
    return listed;
}

} // namespace

int Child(int argc, char** argv, Start kind, long long startNs)
{
    QApplication application(argc, argv);
    std::optional<driver::WindowDriver> program;
    std::unique_ptr<QWidget> bare;
    QWidget* window = nullptr;
    if (kind == Start::real) {
        program.emplace([](const std::string& what) { qWarning("%s", what.c_str()); });
        program->Start();
        window = &program->window();
    } else {
        if (kind == Start::floor)
            ListAndSort(".");
        bare = BareWindow();
        window = bare.get();
        window->show();
    }
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("the window was not shown");
    QCoreApplication::processEvents();
    const long listed = Listed(*window);
    QCoreApplication::processEvents();
    const long long nowNs = NowNs();
    std::printf("%.2f %ld %ld\n", (nowNs - startNs) / 1e6, PeakRssKb(), listed);
    return 0;
}

ChildResult RunChild(const fs::path& folder, Start kind)
{
    QProcess child;
    child.setWorkingDirectory(QString::fromStdString(folder.string()));
    child.start(QCoreApplication::applicationFilePath(),
                {"--child", startNames[static_cast<int>(kind)], QString::number(NowNs())});
    child.waitForFinished(300000);
    ChildResult result;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld %ld", &result.ms,
                &result.rssKb, &result.listed);
    return result;
}

int StormChild(Storm storm, const fs::path& folder, int n)
{
    std::printf("%lld\n", NowNs());
    std::fflush(stdout);
    int failed = 0;
    if (storm == Storm::removeFolder) {
        RemoveRecursively(folder);
    } else {
        const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        char name[32];
        for (int i = 1; i <= n; ++i) {
            std::snprintf(name, sizeof name, "photo_%05d.jpg", i);
            const int file = openat(dir, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            failed += file < 0;
            if (file >= 0)
                close(file);
        }
        for (int i = 1; i <= n; ++i) {
            std::snprintf(name, sizeof name, "photo_%05d.jpg", i);
            failed += unlinkat(dir, name, 0) != 0;
        }
        close(dir);
    }
    std::printf("%lld\n", NowNs());
    if (failed)
        std::fprintf(stderr, "warning: the storm failed %d times in %s\n", failed, folder.c_str());
    return 0;
}

double StormAlone(const fs::path& folder, Storm storm, int n)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--storm", stormNames[static_cast<int>(storm)],
                 QString::fromStdString(folder.string()), QString::number(n)});
    child.waitForFinished(600000);
    long long startNs = 0, endNs = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lld %lld", &startNs, &endNs) != 2)
        qFatal("the storm in %s did not run to its end", folder.c_str());
    return (endNs - startNs) / 1e6;
}

bool Program::ShowsFinalState(const fs::path& folder, Storm storm)
{
    app::FolderTree& tree = window_.tree();
    if (storm == Storm::removeFolder)
        return tree.Path() == folder.parent_path() &&
               window_.TreeRow(QString::fromStdString(folder.filename().string())) < 0;
    return tree.Path() == folder && ListedFiles() == 0 && ListedSubfolders() == 0;
}

StormFigures Program::Weather(const fs::path& folder, Storm storm, int n)
{
    // Polled at the pace of the gap meter's timer; a window that has not settled this long
    // after the storm never does.
    constexpr int everyMs = 5;
    constexpr double settleLimitMs = 30000;
    Open(folder);
    StormFigures figures;
    std::optional<long long> startNs, endNs;
    double cpuAtStart = 0;
    QByteArray said;
    QProcess child;
    QEventLoop loop;
    QObject::connect(&child, &QProcess::readyReadStandardOutput, [&] {
        said += child.readAllStandardOutput();
        const QList<QByteArray> lines = said.split('\n');  // the last one is not whole yet
        if (!startNs && lines.size() > 1) {
            startNs = lines[0].toLongLong();
            cpuAtStart = CpuMs();
        }
        if (!endNs && lines.size() > 2) {
            endNs = lines[1].toLongLong();
            figures.cpuMs = CpuMs() - cpuAtStart;
            figures.stormMs = (*endNs - *startNs) / 1e6;
        }
    });
    QObject::connect(&child, &QProcess::finished, [&] {
        if (!endNs)
            loop.quit();
    });
    QObject::connect(&child, &QProcess::errorOccurred, [&] {
        if (!endNs)
            loop.quit();
    });
    // A window that never listed a file of the storm did not follow it: its final state
    // proves nothing.
    bool followed = storm != Storm::makeDelete;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!endNs) {
            followed = followed || ListedFiles() > 0;
            return;
        }
        const double since = (NowNs() - *endNs) / 1e6;
        if (ShowsFinalState(folder, storm))
            figures.settleMs = std::max(since, 0.0);
        if (figures.settleMs >= 0 || since > settleLimitMs)
            loop.quit();
    });
    check.setTimerType(Qt::PreciseTimer);
    check.start(everyMs);
    gaps_.Start(everyMs);
    child.start(QCoreApplication::applicationFilePath(),
                {"--storm", stormNames[static_cast<int>(storm)],
                 QString::fromStdString(folder.string()), QString::number(n)});
    loop.exec();
    gaps_.Stop();
    figures.maxGapMs = gaps_.Longest().value_or(0);
    child.waitForFinished(60000);
    if (!endNs)
        qFatal("the storm in %s did not run to its end", folder.c_str());
    if (!followed)
        std::fprintf(stderr, "warning: the window listed none of the storm's files\n");
    return figures;
}

} // namespace bench
