// Times the commands through the real window (offscreen, real list controls, buttons clicked as
// a user would) against the bare system calls that bound them and the tools that a user would
// run instead, each on a fresh folder of its own. Prints one line per measurement:
//   op=rename_all n=30000 ms=... limit_ms=... ratio=... floor_ms=... floor_ratio=...
//   peer=rename ms=... op=rename_all n=30000 ratio=...
// Usage: ffname_bench [--dir FOLDER] [--runs K] [--quick] [--only OP[,OP...]]
#include "bare_limits.h"
#include "folder_paths.h"
#include "folder_tree.h"
#include "mainwindow.h"
#include "peer_tools.h"
#include "desktop_shell.h"
#include "captions.h"
#include "layout.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
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
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
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

long long NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// A fresh folder of n empty files named like photo_00001.jpg, written to disk before timing.
void MakeFiles(const fs::path& folder, int n)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    char name[32];
    for (int i = 1; i <= n; ++i) {
        std::snprintf(name, sizeof name, "photo_%05d.jpg", i);
        close(openat(fd, name, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    close(fd);
    sync();
}

// A fresh folder of n subfolders named like album_000001, each holding one empty file when
// withFile, written to disk before timing.
void MakeSubfolders(const fs::path& folder, int n, bool withFile)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    char name[32];
    for (int i = 1; i <= n; ++i) {
        std::snprintf(name, sizeof name, "album_%06d", i);
        mkdirat(fd, name, 0755);
        if (withFile) {
            const int sub = openat(fd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            close(openat(sub, "photo.jpg", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
            close(sub);
        }
    }
    close(fd);
    sync();
}

// The number of entries in the folder, -1 when it is gone.
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

// Answers every question about the Trash as soon as it shows (yes, unless told otherwise), and
// notes when each question showed. A warning (the Trash could not take a file, the folder
// changed) is closed at once and kept, so that a run never waits for a person.
class AnswerAtOnce final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (watched->objectName() == "TrashQuestion") {
            shown.push_back(Clock::now());
            Click(watched, answer);
        } else if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            warnings.push_back(box->text());
            Click(watched, QDialogButtonBox::Ok);
        }
        return false;
    }

    QDialogButtonBox::StandardButton answer = QDialogButtonBox::Yes;
    std::vector<Clock::time_point> shown;
    QStringList warnings;

private:
    static void Click(QObject* dialog, QDialogButtonBox::StandardButton which)
    {
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
            if (QPushButton* button = buttons->button(which))
                QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    }
};

// The longest time between two turns of the event loop while a command runs, counted from
// the click to the end of the event loop's work after it: a zero timer fires at every turn.
class GapMeter {
public:
    GapMeter()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Turn(); });
    }
    void Start()
    {
        longest_ = 0;
        last_ = Clock::now();
        timer_.start(0);
    }
    void Stop()
    {
        Turn();
        timer_.stop();
        measured_ = longest_;
    }
    // The longest gap in milliseconds of the last measurement; nothing once cleared.
    std::optional<double> Longest() const { return measured_; }
    void Clear() { measured_.reset(); }

private:
    void Turn()
    {
        const auto now = Clock::now();
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }

    QTimer timer_;
    Clock::time_point last_;
    double longest_ = 0;
    std::optional<double> measured_;
};

// The program's window, driven as a user drives it.
class Driver {
public:
    explicit Driver(const fs::path& home)
    {
        fs::current_path(home);
        desktop_ = app::MakeDesktopWindow();
        window_->show();
        Settle(*window_);
        home_ = home;
    }

    // Double-clicks the folder's entry in the folder tree (home's subfolder) and waits until
    // both lists hold its entries and are painted.
    void Open(const std::string& name)
    {
        auto* tree = Find<QAbstractItemView>("DirFolder");
        const QModelIndex index = Entry(tree, name);
        tree->scrollTo(index);
        const QPoint at = tree->visualRect(index).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);  // a double click begins with a press
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        ListedFiles();
        QCoreApplication::processEvents();
    }

    // Back to home, untimed, with the tree showing its current subfolders.
    void Home()
    {
        Find<app::FolderTree>("DirFolder")->SetPath(home_);
        window_->DirFolderRefresh();
        QCoreApplication::processEvents();
    }

    void Page(int tab) { Find<QTabBar>("TabStrip1")->setCurrentIndex(tab); }
    void Type(const QString& text) { Find<QLineEdit>("txtName")->setText(text); }
    void Choose(const char* option) { QTest::mouseClick(Find<QRadioButton>(option), Qt::LeftButton); }

    // Clicks the button and lets the event loop do what the click left for it; `gaps` measures
    // how long the window went without a turn meanwhile.
    void Click(const char* button, GapMeter& gaps)
    {
        gaps.Start();
        QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
        QCoreApplication::processEvents();
        gaps.Stop();
    }

    int ListedFiles() { return Find<QAbstractItemView>("DirFiles")->model()->rowCount(); }
    // The subfolders that the tree lists below the open folder and its ancestors.
    int ListedSubfolders()
    {
        auto* tree = Find<app::FolderTree>("DirFolder");
        return tree->model()->rowCount() - static_cast<int>(app::AncestorsOf(tree->Path()).size());
    }

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

    app::DesktopWindow desktop_;
    std::unique_ptr<app::MainWindow>& window_ = desktop_.window;
    fs::path home_;
};

// Who does a row's work: the program through its window, the bare loop on full paths (limit),
// the fastest loop the kernel allows (floor), or a tool that a user would run instead (peer).
enum class Role { program, limit, floor, peer };

struct Contender {
    Role role;
    std::string name;  // a peer's name
    // Milliseconds for the work on the folder; nothing when a peer's tool is missing.
    std::function<std::optional<double>(const fs::path&)> time;
};

template <typename Loop>
Contender Bare(Role role, Loop loop)
{
    return {role, {}, [loop](const fs::path& folder) -> std::optional<double> { return loop(folder); }};
}

Contender Peer(const char* name, std::optional<double> (*tool)(const fs::path&))
{
    return {Role::peer, name, tool};
}

// One row of the table: an operation on n entries of a fresh folder.
struct Row {
    std::string op;
    int n;
    bool subfolders;  // the folder holds n subfolders rather than n files
    std::function<void(const fs::path&)> make;
    // Whether the folder was left as the operation leaves it.
    std::function<bool(const fs::path&)> done;
    // For an operation that only reads: the one folder in home that every contender reads in
    // every run, made and removed by the caller; `make` is then unused.
    fs::path shared;
};

// gaps: the longest time without a turn of the event loop in each of the program's runs.
void PrintRow(const Row& row, const std::vector<Contender>& contenders,
              const std::vector<std::vector<double>>& ms, const std::vector<double>& gaps)
{
    const double program = Median(ms[0]);
    std::string line = "op=" + row.op + " n=" + std::to_string(row.n) +
                       (row.subfolders ? " of=subfolders" : "");
    char figures[128];
    std::snprintf(figures, sizeof figures, " ms=%.1f", program);
    line += figures;
    if (!gaps.empty()) {
        std::snprintf(figures, sizeof figures, " max_gap_ms=%.1f",
                      *std::max_element(gaps.begin(), gaps.end()));
        line += figures;
    }
    std::vector<std::string> peers;
    for (std::size_t i = 1; i < contenders.size(); ++i) {
        const Contender& contender = contenders[i];
        if (contender.role == Role::peer && ms[i].empty()) {
            peers.push_back("peer=" + contender.name + " missing op=" + row.op +
                            " n=" + std::to_string(row.n) + (row.subfolders ? " of=subfolders" : ""));
            continue;
        }
        const double other = Median(ms[i]);
        if (contender.role == Role::peer) {
            std::snprintf(figures, sizeof figures, " ms=%.1f op=%s n=%d%s ratio=%.2f", other,
                          row.op.c_str(), row.n, row.subfolders ? " of=subfolders" : "",
                          program / other);
            peers.push_back("peer=" + contender.name + figures);
        } else {
            const char* name = contender.role == Role::limit ? "limit" : "floor";
            std::snprintf(figures, sizeof figures, " %s_ms=%.1f %s=%.2f", name, other,
                          contender.role == Role::limit ? "ratio" : "floor_ratio", program / other);
            line += figures;
        }
    }
    std::printf("%s\n", line.c_str());
    for (const std::string& peer : peers)
        std::printf("%s\n", peer.c_str());
    std::fflush(stdout);
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
        const QString caption = QString::fromUtf8(app::StartCaption(row.name));
        QWidget* control = nullptr;
        switch (row.kind) {
        case app::ControlKind::DriveList:
            control = new QComboBox(container);
            break;
        case app::ControlKind::FolderTree:
        case app::ControlKind::FileList:
            control = new QListView(container);
            break;
        case app::ControlKind::TextBox:
            control = new QLineEdit(container);
            break;
        case app::ControlKind::Label:
            control = new QLabel(caption, container);
            break;
        case app::ControlKind::Frame:
            control = new QGroupBox(caption, container);
            break;
        case app::ControlKind::Option:
            control = new QRadioButton(caption, container);
            break;
        case app::ControlKind::Button:
            control = new QPushButton(caption, container);
            break;
        case app::ControlKind::Tabs: {
            auto* tabs = new QTabBar(container);
            for (const char* tab : {"Folder", "File", "All Files"})
                tabs->addTab(QString::fromUtf8(tab));
            control = tabs;
            break;
        }
        }
        control->setObjectName(QLatin1String(row.name));
        control->setGeometry(app::TwipsToPixels(row, window->logicalDpiX(), window->logicalDpiY()));
        if (row.font != app::ControlFont::Default)
            control->setFont(app::LayoutFont(row.font, window->font()));
    }
    return window;
}

// What a start-up child shows: the program's window, the bare window, or the bare window that
// first reads and sorts its folder (the floor).
enum class Start { real, bare, floor };
constexpr const char* startNames[] = {"real", "bare", "floor"};

// Child process: start a window in the current folder, print the time since the parent's clock
// reading when it is shown, the peak memory and the entries that the lists show.
int Child(int argc, char** argv, Start kind, long long startNs)
{
    QApplication application(argc, argv);
    app::DesktopWindow desktop;
    std::unique_ptr<QWidget> bare;
    QWidget* window = nullptr;
    if (kind == Start::real) {
        desktop = app::MakeDesktopWindow();
        window = desktop.window.get();
    } else {
        if (kind == Start::floor)
            bench::ListAndSort(".");
        bare = BareWindow();
        window = bare.get();
    }
    window->show();
    Settle(*window);
    long listed = 0;
    for (const char* list : {"DirFiles", "DirFolder"})
        if (auto* view = window->findChild<QAbstractItemView*>(list); view && view->model())
            listed += view->model()->rowCount();
    QCoreApplication::processEvents();
    const long long nowNs = NowNs();
    std::printf("%.2f %ld %ld\n", (nowNs - startNs) / 1e6, PeakRssKb(), listed);
    return 0;
}

struct ChildResult {
    double ms = 0;
    long rssKb = 0;
    long listed = 0;
};

// Runs a child in the folder.
ChildResult RunChild(const char* self, const fs::path& folder, Start kind)
{
    QProcess child;
    child.setWorkingDirectory(QString::fromStdString(folder.string()));
    child.start(QString::fromLocal8Bit(self),
                {"--child", startNames[static_cast<int>(kind)], QString::number(NowNs())});
    child.waitForFinished(300000);
    ChildResult result;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld %ld", &result.ms,
                &result.rssKb, &result.listed);
    return result;
}

// Qt's offscreen platform warns at every dialog that it cannot pass size hints on; the bench
// shows thousands of questions.
QtMessageHandler qtHandler = nullptr;

void DropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.contains(QLatin1String("propagateSizeHints")))
        qtHandler(type, context, text);
}

bool OnTmpfs(const fs::path& folder)
{
    struct statfs info {};
    return statfs(folder.c_str(), &info) == 0 && info.f_type == 0x01021994;
}

struct Options {
    fs::path dir = "/var/tmp/ffname-bench";
    int runs = 5;
    bool quick = false;
    std::set<std::string> only;
    bool onTmpfs = false;

    bool Wants(const std::string& op) const { return only.empty() || only.count(op); }
};

Options ReadOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) {
            options.dir = argv[++i];
        } else if (arg == "--runs" && i + 1 < argc) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--quick") {
            options.quick = true;
        } else if (arg == "--only" && i + 1 < argc) {
            std::string list = argv[++i];
            for (std::size_t start = 0; start <= list.size();) {
                const std::size_t comma = std::min(list.find(',', start), list.size());
                options.only.insert(list.substr(start, comma - start));
                start = comma + 1;
            }
        }
    }
    return options;
}

// The table: every row timed through the window and against its limit, floor and peers.
class Bench {
public:
    Bench(const Options& options, const fs::path& root, AnswerAtOnce& answers)
        : options_(options), root_(root), home_(root / "home"), xdg_(root / "xdg"),
          answers_(answers), window_(home_)
    {
    }

    // Times the row runs times. Every contender gets a fresh folder of its own; all are made
    // before any is timed, and the order of the contenders turns by one each run: on ext4 the
    // cost of making files depends on how many were deleted in the last seconds, which would
    // otherwise favour whichever contender comes later.
    void Measure(const Row& row, const std::vector<Contender>& contenders, int runs)
    {
        if (!options_.Wants(row.op))
            return;
        std::vector<std::vector<double>> ms(contenders.size());
        std::vector<double> gaps;
        for (int run = 0; run < runs; ++run) {
            std::vector<fs::path> folders;
            for (std::size_t i = 0; i < contenders.size(); ++i) {
                if (!row.shared.empty()) {
                    folders.push_back(row.shared);
                    continue;
                }
                // (Names appended in steps: GCC 12 warns falsely on "f" + std::to_string.)
                std::string name = i == 0 ? "f" : "c";
                name += std::to_string(run) + '-' + std::to_string(i);
                folders.push_back((i == 0 ? home_ : root_) / name);
                row.make(folders.back());
            }
            window_.Home();
            for (std::size_t k = 0; k < contenders.size(); ++k) {
                const std::size_t i = (run + k) % contenders.size();
                SetTrashAside();
                gaps_.Clear();
                if (const std::optional<double> taken = contenders[i].time(folders[i]))
                    ms[i].push_back(*taken);
                if (i == 0) {
                    if (const std::optional<double> gap = gaps_.Longest())
                        gaps.push_back(*gap);
                    window_.Home();
                    ReportWarnings(row);
                }
                if (row.done && !row.done(folders[i]))
                    std::fprintf(stderr, "warning: %s n=%d: contender %zu left its folder unfinished\n",
                                 row.op.c_str(), row.n, i);
            }
            if (row.shared.empty())
                for (const fs::path& folder : folders)
                    fs::remove_all(folder);
            fs::remove_all(xdg_);
        }
        PrintRow(row, contenders, ms, gaps);
        perEntry_[{row.op, row.subfolders}][row.n] = Median(ms[0]) / row.n;
    }

    // Cost per question of Delete All to the Trash, the first 1,000 questions against the last
    // 1,000 of n. Every question is answered No, so that no file is moved and what is timed is
    // the question alone, free of the disk's ups and downs.
    void MeasureQuestions(int n, int runs)
    {
        if (!options_.Wants("trash_all"))
            return;
        std::vector<double> first, last, ratio, total;
        const fs::path folder = home_ / "questions";
        MakeFiles(folder, n);
        answers_.answer = QDialogButtonBox::No;
        for (int run = 0; run < runs; ++run) {
            answers_.shown.clear();
            window_.Home();
            total.push_back(*TrashAll()(folder));
            if (static_cast<int>(answers_.shown.size()) != n || CountEntries(folder) != n)
                qFatal("%zu questions for %d files", answers_.shown.size(), n);
            const std::vector<Clock::time_point>& at = answers_.shown;
            first.push_back(std::chrono::duration<double, std::milli>(at[1000] - at[0]).count());
            last.push_back(
                std::chrono::duration<double, std::milli>(at.back() - at[n - 1001]).count());
            ratio.push_back(last.back() / first.back());
        }
        answers_.answer = QDialogButtonBox::Yes;
        window_.Home();
        fs::remove_all(folder);
        std::printf("op=trash_all per_question_growth n=%d answer=no ms=%.1f us_per_question=%.0f "
                    "first1000_ms=%.1f last1000_ms=%.1f ratio=%.2f\n",
                    n, Median(total), Median(total) * 1000 / n, Median(first), Median(last),
                    Median(ratio));
        std::fflush(stdout);
    }

    // Cost per entry at the largest size over that at 1,000, for each op timed at several
    // sizes (open_folder against 30,000: its one row of 100,000 stands apart).
    void PrintGrowth()
    {
        for (const auto& [kind, byN] : perEntry_) {
            const auto& [op, subfolders] = kind;
            auto largest = std::prev(byN.end());
            if (op == "open_folder" && largest->first == 100000 && largest != byN.begin())
                --largest;
            if (byN.begin()->first != 1000 || largest == byN.begin())
                continue;
            std::printf("op=%s%s per_file_growth n=%d/1000 ratio=%.2f\n", op.c_str(),
                        subfolders ? " of=subfolders" : "", largest->first,
                        largest->second / byN.begin()->second);
        }
    }

    std::function<std::optional<double>(const fs::path&)> OpenFolder(int n, bool subfolders)
    {
        return [this, n, subfolders](const fs::path& folder) -> std::optional<double> {
            const auto start = Clock::now();
            window_.Open(folder.filename().string());
            const double ms = Since(start);
            const int listed = subfolders ? window_.ListedSubfolders() : window_.ListedFiles();
            if (listed != n)
                qFatal("the window lists %d of %d entries", listed, n);
            return ms;
        };
    }

    // A button of the All Files page with the delete method chosen and "p" typed.
    std::function<std::optional<double>(const fs::path&)> Command(const char* option,
                                                                  const char* button)
    {
        return [this, option, button](const fs::path& folder) -> std::optional<double> {
            window_.Open(folder.filename().string());
            window_.Page(2);
            window_.Type("p");
            window_.Choose(option);
            const auto start = Clock::now();
            window_.Click(button, gaps_);
            const double ms = Since(start);
            window_.ListedFiles();
            return ms;
        };
    }

    std::function<std::optional<double>(const fs::path&)> TrashAll()
    {
        return Command("OptDelRec", "cbDelAll");
    }

    // The Folder page's Delete on the folder opened in the tree.
    std::function<std::optional<double>(const fs::path&)> DeleteFolder()
    {
        return [this](const fs::path& folder) -> std::optional<double> {
            window_.Open(folder.filename().string());
            window_.Page(0);
            const auto start = Clock::now();
            window_.Click("cbDel", gaps_);
            return Since(start);
        };
    }

    const fs::path& Trash() const { return trash_; }
    const fs::path& HomeFolder() const { return home_; }

private:
    // The warnings that the window showed during the program's turn: a turn that warned did
    // not do all the work it was timed for.
    void ReportWarnings(const Row& row)
    {
        if (!answers_.warnings.isEmpty())
            std::fprintf(stderr, "warning: %s n=%d: the window warned %lld times, first: %s\n",
                         row.op.c_str(), row.n, static_cast<long long>(answers_.warnings.size()),
                         qPrintable(answers_.warnings.first()));
        answers_.warnings.clear();
    }

    // Every contender trashes into a Trash of its own: the one before is moved aside, not
    // deleted, so that no mass deletion runs just before a contender makes files.
    void SetTrashAside()
    {
        std::error_code ignored;
        if (fs::exists(trash_))
            fs::rename(trash_, xdg_ / ("used-" + std::to_string(++trashesUsed_)), ignored);
    }

    const Options& options_;
    fs::path root_, home_, xdg_;
    fs::path trash_ = xdg_ / "Trash";
    AnswerAtOnce& answers_;
    Driver window_;
    GapMeter gaps_;
    std::map<std::pair<std::string, bool>, std::map<int, double>> perEntry_;  // by op, of subfolders
    int trashesUsed_ = 0;
};

// Start-up in folders of 10,000 files and of 100,000 subfolders against the bare window, each
// in a fresh process started by absolute path: the child runs in the folder it opens.
void MeasureStartup(const Options& options, const fs::path& root, const fs::path& wide)
{
    const QByteArray selfPath = QFile::encodeName(QCoreApplication::applicationFilePath());
    const char* self = selfPath.constData();
    struct Case {
        int n;
        bool subfolders;
    };
    std::vector<Case> cases{{10000, false}};
    if (!wide.empty())
        cases.push_back({100000, true});
    for (const auto& [n, subfolders] : cases) {
        const fs::path folder = subfolders ? wide : root / "start";
        if (!subfolders)
            MakeFiles(folder, n);
        sync();  // no writeback of the folders just made runs while start-up is timed
        std::vector<double> ms[3];
        for (int run = 0; run < options.runs; ++run) {
            for (int k = 0; k < 3; ++k) {
                const auto kind = static_cast<Start>((run + k) % 3);
                const ChildResult result = RunChild(self, folder, kind);
                if (kind == Start::real && result.listed < n)
                    qFatal("start-up lists %ld of %d entries", result.listed, n);
                ms[static_cast<int>(kind)].push_back(result.ms);
            }
        }
        const double real = Median(ms[0]), bare = Median(ms[1]), floor = Median(ms[2]);
        std::printf("op=startup n=%d%s ms=%.1f limit_ms=%.1f ratio=%.2f floor_ms=%.1f "
                    "floor_ratio=%.2f\n",
                    n, subfolders ? " of=subfolders" : "", real, bare, real / bare, floor,
                    real / floor);
        std::fflush(stdout);
        if (!subfolders)
            fs::remove_all(folder);
    }
}

// Peak memory of a new process with 100,000 names listed, against the bare window.
void MeasureMemory(const Options& options, const fs::path& root)
{
    const QByteArray selfPath = QFile::encodeName(QCoreApplication::applicationFilePath());
    const fs::path big = root / "big";
    MakeFiles(big, 100000);
    std::vector<double> real, bare;
    for (int run = 0; run < options.runs; ++run) {
        real.push_back(RunChild(selfPath.constData(), big, Start::real).rssKb / 1024.0);
        bare.push_back(RunChild(selfPath.constData(), big, Start::bare).rssKb / 1024.0);
    }
    std::printf("peak_rss n=100000 mb=%.1f bare_mb=%.1f extra_mb=%.1f\n", Median(real),
                Median(bare), Median(real) - Median(bare));
    fs::remove_all(big);
}

// Removing a folder waits for the discard of its one block on this kind of disk, so the large
// trees get fewer runs.
int TreeRuns(const Options& options, int n)
{
    return n >= 16000 ? std::min(options.runs, 3) : options.runs;
}

bool FolderGone(const fs::path& folder) { return CountEntries(folder) < 0; }
bool FolderEmpty(const fs::path& folder) { return CountEntries(folder) == 0; }

// Opening the folder, which only reads it: all contenders read one folder.
void MeasureOpen(Bench& bench, const Options& options, int n, const fs::path& folder, bool subfolders)
{
    bench.Measure({"open_folder", n, subfolders, {}, {}, folder},
                  {{Role::program, {}, bench.OpenFolder(n, subfolders)},
                   Bare(Role::floor, bench::ListAndSort), Peer("ls-v", bench::ListNaturally)},
                  options.runs);
}

// Delete All to the Trash, and the cost of its question.
void MeasureTrash(Bench& bench, const Options& options)
{
    const auto files = [](int n) { return [n](const fs::path& f) { MakeFiles(f, n); }; };
    const fs::path trash = bench.Trash();
    bench.Measure({"trash_all", 1000, false, files(1000), FolderEmpty, {}},
                  {{Role::program, {}, bench.TrashAll()},
                   Bare(Role::limit, bench::TrashEach),
                   Bare(Role::floor, [trash](const fs::path& f) { return bench::TrashEachAt(f, trash); }),
                   Peer("gio-trash", bench::GioTrash)},
                  options.runs);
    bench.MeasureQuestions(options.quick ? 3000 : 10000, options.runs);
}

// wide: a folder of 100,000 subfolders in home, or nothing in a quick run.
void MeasureTable(Bench& bench, const Options& options, const fs::path& wide)
{
    const auto files = [](int n) { return [n](const fs::path& f) { MakeFiles(f, n); }; };
    const std::vector<int> sizes = options.quick ? std::vector<int>{1000, 10000}
                                                 : std::vector<int>{1000, 10000, 30000, 100000};
    for (const int n : sizes) {
        // Opening 100,000 files has a row of its own below, and the batch rows at that size
        // take long: fewer runs.
        const int runs = n >= 100000 ? std::min(options.runs, 3) : options.runs;
        if (options.Wants("open_folder") && n < 100000) {
            const fs::path folder = bench.HomeFolder() / ("open-" + std::to_string(n));
            MakeFiles(folder, n);
            MeasureOpen(bench, options, n, folder, false);
            fs::remove_all(folder);
        }
        std::string last = "p";
        last += std::to_string(n);
        const auto renamed = [n, last](const fs::path& f) {
            return CountEntries(f) == n && fs::exists(f / "p1") && fs::exists(f / last);
        };
        bench.Measure({"rename_all", n, false, files(n), renamed, {}},
                      {{Role::program, {}, bench.Command("OptDel", "cbRenAll")},
                       Bare(Role::limit, [](const fs::path& f) { return bench::RenameEach(f, "p"); }),
                       Bare(Role::floor, [](const fs::path& f) { return bench::RenameEachAt(f, "p"); }),
                       Peer("rename", bench::PerlRename)},
                      runs);
        bench.Measure({"delete_all", n, false, files(n), FolderEmpty, {}},
                      {{Role::program, {}, bench.Command("OptDel", "cbDelAll")},
                       Bare(Role::limit, bench::UnlinkEach), Bare(Role::floor, bench::UnlinkEachAt),
                       Peer("find-delete", bench::FindDelete)},
                      runs);
    }
    if (!options.onTmpfs)
        MeasureTrash(bench, options);
    else if (options.Wants("trash_all"))
        std::fprintf(stderr, "note: trash_all left out: GIO refuses the Trash on tmpfs mounts\n");
    const std::vector<int> trees = options.quick ? std::vector<int>{1000, 4000, 16000}
                                                 : std::vector<int>{1000, 4000, 16000, 64000};
    for (const int n : trees)
        bench.Measure({"delete_folder", n, true,
                       [n](const fs::path& f) { MakeSubfolders(f, n, true); }, FolderGone, {}},
                      {{Role::program, {}, bench.DeleteFolder()}, Bare(Role::floor, bench::DeleteTreeAt),
                       Peer("rm-rf", bench::RemoveRecursively)},
                      TreeRuns(options, n));
    if (options.quick || !options.Wants("open_folder"))
        return;
    const fs::path many = bench.HomeFolder() / "many";
    MakeFiles(many, 100000);
    MeasureOpen(bench, options, 100000, many, false);
    fs::remove_all(many);
    MeasureOpen(bench, options, 100000, wide, true);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child") {
        const std::string kind = argv[2];
        const Start start = kind == "real" ? Start::real : kind == "bare" ? Start::bare : Start::floor;
        return Child(argc, argv, start, std::stoll(argv[3]));
    }
    Options options = ReadOptions(argc, argv);
    const fs::path root = options.dir / ("run-" + std::to_string(getpid()));
    fs::create_directories(root / "home");
    options.onTmpfs = OnTmpfs(root);
    if (options.onTmpfs)
        std::fprintf(stderr, "warning: %s is on tmpfs, not a real disk\n", root.c_str());
    setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qtHandler = qInstallMessageHandler(DropSizeHintWarnings);
    QApplication application(argc, argv);
    AnswerAtOnce answers;
    application.installEventFilter(&answers);
    // One folder of 100,000 subfolders serves both opening and start-up: on a disk that
    // discards every freed block, removing it takes minutes.
    fs::path wide;
    if (!options.quick && (options.Wants("open_folder") || options.Wants("startup"))) {
        wide = root / "home" / "wide";
        MakeSubfolders(wide, 100000, false);
    }
    {
        Bench bench(options, root, answers);
        MeasureTable(bench, options, wide);
        bench.PrintGrowth();
    }
    if (options.Wants("startup"))
        MeasureStartup(options, root, wide);
    if (!options.quick && options.Wants("peak_rss"))
        MeasureMemory(options, root);
    fs::current_path(options.dir);
    fs::remove_all(root);
    return 0;
}
