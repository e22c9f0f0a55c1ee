// Times the commands through the real window (offscreen, real list controls, buttons clicked as
// a user would) against the bare system calls that bound them. Prints one line per measurement:
//   op=rename_all n=30000 ms=... limit_ms=... ratio=...
// Usage: ffname_bench [--dir FOLDER] [--runs K] [--quick] [--only OP]
#include "bare_limits.h"
#include "folder_tree.h"
#include "mainwindow.h"
#include "trash_shell.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A fresh folder of n empty files named like photo_00001.jpg, written to disk before timing.
void MakeFolder(const fs::path& folder, int n)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    char name[32];
    for (int i = 1; i <= n; ++i) {
        std::snprintf(name, sizeof name, "photo_%05d.jpg", i);
        close(open((folder / name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    sync();
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

// Runs the event loop until the window is on screen and everything pending is painted.
void Settle(QWidget& window)
{
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("the window was not shown");
    QCoreApplication::processEvents();
}

// Answers yes to every question about the Trash, as soon as it shows.
class AnswerYes final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == "TrashQuestion")
            if (auto* buttons = watched->findChild<QDialogButtonBox*>())
                QMetaObject::invokeMethod(buttons->button(QDialogButtonBox::Yes),
                                          &QAbstractButton::click, Qt::QueuedConnection);
        return false;
    }
};

// The program's window, driven as a user drives it.
class Driver {
public:
    explicit Driver(const fs::path& home)
    {
        fs::current_path(home);
        window_ = std::make_unique<app::MainWindow>(shell_);
        shell_.attach(window_.get(), [] { return false; });
        window_->show();
        Settle(*window_);
        home_ = home;
    }

    // Double-clicks the folder's entry in the folder tree (home's subfolder) and waits until
    // the file list holds its names and is painted; returns the list's row count.
    int Open(const std::string& name)
    {
        auto* tree = Find<QAbstractItemView>("DirFolder");
        const QModelIndex index = Entry(tree, name);
        tree->scrollTo(index);
        const QPoint at = tree->visualRect(index).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);  // a double click begins with a press
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        const int rows = Find<QAbstractItemView>("DirFiles")->model()->rowCount();
        QCoreApplication::processEvents();
        return rows;
    }

    // Back to home, untimed, with the tree showing its current subfolders.
    void Home()
    {
        Find<app::FolderTree>("DirFolder")->setPath(home_);
        window_->DirFolderRefresh();
        QCoreApplication::processEvents();
    }

    void Page(int tab) { Find<QTabBar>("TabStrip1")->setCurrentIndex(tab); }
    void Type(const QString& text) { Find<QLineEdit>("txtName")->setText(text); }
    void Choose(const char* option) { QTest::mouseClick(Find<QRadioButton>(option), Qt::LeftButton); }

    void Click(const char* button)
    {
        QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    int ListedFiles() { return Find<QAbstractItemView>("DirFiles")->model()->rowCount(); }

private:
    template <typename T>
    T* Find(const char* name)
    {
        T* control = window_->findChild<T*>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }

    static QModelIndex Entry(QAbstractItemView* tree, const std::string& name)
    {
        const QString text = QString::fromStdString(name);
        for (int row = tree->model()->rowCount() - 1; row >= 0; --row) {
            const QModelIndex index = tree->model()->index(row, 0);
            if (index.data().toString() == text)
                return index;
        }
        qFatal("no folder %s in the tree", name.c_str());
    }

    app::TrashShell shell_;
    std::unique_ptr<app::MainWindow> window_;
    fs::path home_;
};

struct Result {
    std::vector<double> ms, limit;
};

void Print(const char* op, int n, const Result& result)
{
    const double ms = Median(result.ms), limit = Median(result.limit);
    std::printf("op=%s n=%d ms=%.1f limit_ms=%.1f ratio=%.2f\n", op, n, ms, limit, ms / limit);
    std::fflush(stdout);
}

// A bare window with the same kinds and number of controls and the same fonts, for start-up
// and memory: what any window of this layout costs, with no drives or folders read.
std::unique_ptr<QWidget> BareWindow()
{
    QFont bold("Times New Roman", 9, QFont::Bold);
    QFont small("Times New Roman");
    small.setPointSizeF(7.8);
    auto window = std::make_unique<QWidget>();
    QFont sans("Sans Serif", 8);
    sans.setStyleHint(QFont::SansSerif);
    window->setFont(sans);
    window->setFixedSize(631, 252);
    new QComboBox(window.get());
    new QListView(window.get());
    new QListView(window.get());
    new QLineEdit(window.get());
    (new QLabel("File / Folder Name", window.get()))->setFont(bold);
    auto* language = new QGroupBox("Select Language", window.get());
    new QRadioButton("English", language);
    new QRadioButton("Russian", language);
    for (int page = 0; page < 3; ++page) {
        auto* frame = new QFrame(window.get());
        for (int button = 0; button < 3; ++button)
            new QPushButton("Create", frame);
    }
    auto* tabs = new QTabBar(window.get());
    tabs->setFont(bold);
    for (const char* tab : {"Folder", "File", "All Files"})
        tabs->addTab(tab);
    auto* method = new QGroupBox("Method of Files Delete", window.get());
    method->setFont(small);
    new QRadioButton("With request and to Recycle Bin", method);
    new QRadioButton("Just Delete", method);
    return window;
}

// Child process: start a window (real or bare) in the current folder, print the time since
// the parent's clock reading when it is shown, and the peak memory.
int Child(int argc, char** argv, bool real, long long startNs)
{
    QApplication application(argc, argv);
    std::unique_ptr<QWidget> window;
    app::TrashShell shell;
    if (real) {
        auto main = std::make_unique<app::MainWindow>(shell);
        shell.attach(main.get(), [] { return false; });
        window = std::move(main);
    } else {
        window = BareWindow();
    }
    window->show();
    Settle(*window);
    if (auto* files = window->findChild<QAbstractItemView*>("DirFiles"))
        files->model()->rowCount();
    QCoreApplication::processEvents();
    const long long nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                Clock::now().time_since_epoch()).count();
    std::printf("%.2f %ld\n", (nowNs - startNs) / 1e6, PeakRssKb());
    return 0;
}

// Runs a child in the folder; returns its milliseconds and peak RSS in kB.
std::pair<double, long> RunChild(const char* self, const fs::path& folder, bool real)
{
    QProcess child;
    child.setWorkingDirectory(QString::fromStdString(folder.string()));
    const long long nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                Clock::now().time_since_epoch()).count();
    child.start(QString::fromLocal8Bit(self),
                {"--child", real ? "real" : "bare", QString::number(nowNs)});
    child.waitForFinished(120000);
    double ms = 0;
    long rss = 0;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld", &ms, &rss);
    return {ms, rss};
}

bool OnTmpfs(const fs::path& folder)
{
    struct statfs info {};
    return statfs(folder.c_str(), &info) == 0 && info.f_type == 0x01021994;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child")
        return Child(argc, argv, std::string(argv[2]) == "real", std::stoll(argv[3]));

    fs::path dir = "/var/tmp/ffname-bench";
    int runs = 5;
    bool quick = false;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--quick")
            quick = true;
        else if (arg == "--only" && i + 1 < argc)
            only = argv[++i];
    }
    const fs::path root = dir / ("run-" + std::to_string(getpid()));
    fs::create_directories(root / "home");
    if (OnTmpfs(root))
        std::fprintf(stderr, "warning: %s is on tmpfs, not a real disk\n", root.c_str());
    const fs::path xdg = root / "xdg";
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    AnswerYes answerYes;
    application.installEventFilter(&answerYes);

    const fs::path home = root / "home";
    Driver window(home);
    const std::vector<int> sizes = quick ? std::vector<int>{1000, 10000}
                                         : std::vector<int>{1000, 10000, 30000};
    std::map<std::string, std::map<int, double>> perFile;
    auto measure = [&](const char* op, int n, const std::function<double(const fs::path&)>& timed,
                       const std::function<double(const fs::path&)>& limit) {
        if (!only.empty() && only != op)
            return;
        Result result;
        for (int run = 0; run < runs; ++run) {
            // Both folders are made before either is timed, and the order alternates: on ext4
            // the cost of making files depends on how many were deleted in the last seconds,
            // which would otherwise favour whichever loop runs second.
            // (Names appended in steps: GCC 12 warns falsely on "f" + std::to_string.)
            std::string name = "f";
            name += std::to_string(run);
            const fs::path folder = home / name;
            const fs::path bare = root / ("bare-" + name);
            MakeFolder(folder, n);
            MakeFolder(bare, n);
            window.Home();
            const auto timeCommand = [&] {
                result.ms.push_back(timed(folder));
                window.Home();
            };
            if (run % 2 == 0)
                timeCommand();
            result.limit.push_back(limit(bare));
            if (run % 2 != 0)
                timeCommand();
            fs::remove_all(folder);
            fs::remove_all(bare);
            fs::remove_all(xdg / "Trash");
        }
        Print(op, n, result);
        perFile[op][n] = Median(result.ms) / n;
    };
    auto openFolder = [&](int n) {
        return [&window, n](const fs::path& folder) {
            const auto start = Clock::now();
            const int rows = window.Open(folder.filename().string());
            const double ms = Since(start);
            if (rows != n)
                qFatal("the file list shows %d of %d files", rows, n);
            return ms;
        };
    };
    auto command = [&](int page, const char* option, const char* button) {
        return [&window, page, option, button](const fs::path& folder) {
            window.Open(folder.filename().string());
            window.Page(page);
            window.Type("p");
            window.Choose(option);
            const auto start = Clock::now();
            window.Click(button);
            const double ms = Since(start);
            window.ListedFiles();
            return ms;
        };
    };

    for (const int n : sizes) {
        measure("open_folder", n, openFolder(n), bench::ListAndSort);
        measure("rename_all", n, command(2, "OptDel", "cbRenAll"),
                [](const fs::path& f) { return bench::RenameEach(f, "p"); });
        measure("delete_all", n, command(2, "OptDel", "cbDelAll"), bench::UnlinkEach);
    }
    measure("trash_all", 1000, command(2, "OptDelRec", "cbDelAll"), bench::TrashEach);
    if (!quick)
        measure("open_folder", 100000, openFolder(100000), bench::ListAndSort);

    for (const auto& [op, byN] : perFile)
        if (byN.count(1000) && byN.count(sizes.back()))
            std::printf("op=%s per_file_growth n=%d/1000 ratio=%.2f\n", op.c_str(), sizes.back(),
                        byN.at(sizes.back()) / byN.at(1000));

    if (!only.empty() && only != "startup") {
        fs::remove_all(root);
        return 0;
    }
    // Start-up and memory, each in a fresh process, started by absolute path: the child runs
    // in the folder it opens.
    const QByteArray selfPath = QFile::encodeName(QCoreApplication::applicationFilePath());
    const char* self = selfPath.constData();
    const fs::path startFolder = root / "start";
    MakeFolder(startFolder, 10000);
    sync();  // the new folder written out, so that no writeback runs while start-up is timed
    Result startup;
    for (int run = 0; run < runs; ++run) {
        startup.ms.push_back(RunChild(self, startFolder, true).first);
        startup.limit.push_back(RunChild(self, startFolder, false).first);
    }
    Print("startup", 10000, startup);
    if (!quick) {
        const fs::path big = root / "big";
        MakeFolder(big, 100000);
        std::vector<double> real, bare;
        for (int run = 0; run < runs; ++run) {
            real.push_back(RunChild(self, big, true).second / 1024.0);
            bare.push_back(RunChild(self, big, false).second / 1024.0);
        }
        std::printf("peak_rss n=100000 mb=%.1f bare_mb=%.1f extra_mb=%.1f\n", Median(real),
                    Median(bare), Median(real) - Median(bare));
    }
    fs::current_path(dir);
    fs::remove_all(root);
    return 0;
}
