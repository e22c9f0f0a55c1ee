// Times the commands through the real window (offscreen, real list controls, buttons clicked as
// a user would) against the bare system calls that bound them and the tools that a user would
// run instead, each on a fresh folder of its own. Prints one line per measurement:
//   op=rename_all n=30000 ms=... limit_ms=... ratio=... floor_ms=... floor_ratio=...
//   peer=rename ms=... op=rename_all n=30000 ratio=...
// Usage: ffname_bench [--dir FOLDER] [--runs K] [--quick] [--only OP[,OP...]]
// (--child and --storm start this program as a child of a row.)
// This file holds the table of rows; runner.h times them, contenders.h says who runs them.
#include "bare_limits.h"
#include "start_child.h"
#include "peer_tools.h"
#include "runner.h"

#include <QtWidgets/QApplication>

#include <cstdio>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

using namespace bench;

// Start-up in folders of 10,000 files and of 100,000 subfolders against the bare window, each
// in a fresh process started by absolute path: the child runs in the folder it opens.
void MeasureStartup(const Options& options, const fs::path& root, const fs::path& wide)
{
    std::vector<std::pair<int, bool>> cases{{10000, false}};  // entries, of subfolders
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
                const ChildResult result = RunChild(folder, kind);
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
    const fs::path big = root / "big";
    MakeFiles(big, 100000);
    std::vector<double> real, bare;
    for (int run = 0; run < options.runs; ++run) {
        real.push_back(RunChild(big, Start::real).rssKb / 1024.0);
        bare.push_back(RunChild(big, Start::bare).rssKb / 1024.0);
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

std::function<void(const fs::path&)> Files(int n)
{
    return [n](const fs::path& folder) { MakeFiles(folder, n); };
}

// Opening the folder, which only reads it: all contenders read one folder.
void MeasureOpen(Bench& bench, const Options& options, int n, const fs::path& folder, bool subfolders)
{
    bench.Measure({"open_folder", n, subfolders, {}, {}, folder},
                  {bench.program().OpenFolder(n, subfolders), Bare(Role::floor, ListAndSort),
                   Peer("ls-v", ListNaturally)},
                  options.runs);
}

// Delete All to the Trash, and the cost of its question.
void MeasureTrash(Bench& bench, const Options& options)
{
    const fs::path trash = bench.Trash();
    bench.Measure({"trash_all", 1000, false, Files(1000), FolderEmpty, {}},
                  {bench.program().TrashAll(), Bare(Role::limit, TrashEach),
                   Bare(Role::floor, [trash](const fs::path& f) { return TrashEachAt(f, trash); }),
                   Peer("gio-trash", GioTrash)},
                  options.runs);
    bench.MeasureQuestions(options.quick ? 3000 : 10000, options.runs);
    bench.MeasureUndo("undo_trash_all", 1000, "OptDelRec", "cbDelAll", options.runs);
}

// Opening, Rename All and Delete All at one size. Opening 100,000 files has a row of its own,
// and the batch rows at that size take long: fewer runs.
void MeasureFileRows(Bench& bench, const Options& options, int n)
{
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
    bench.Measure({"rename_all", n, false, Files(n), renamed, {}},
                  {bench.program().Command("OptDel", "cbRenAll"),
                   Bare(Role::limit, [](const fs::path& f) { return RenameEach(f, "p"); }),
                   Bare(Role::floor, [](const fs::path& f) { return RenameEachAt(f, "p"); }),
                   Peer("rename", PerlRename)},
                  runs);
    bench.Measure({"delete_all", n, false, Files(n), FolderEmpty, {}},
                  {bench.program().Command("OptDel", "cbDelAll"), Bare(Role::limit, UnlinkEach),
                   Bare(Role::floor, UnlinkEachAt), Peer("find-delete", FindDelete)},
                  runs);
}

// wide: a folder of 100,000 subfolders in home, or nothing in a quick run.
void MeasureTable(Bench& bench, const Options& options, const fs::path& wide)
{
    for (const int n : options.quick ? std::vector<int>{1000, 10000}
                                     : std::vector<int>{1000, 10000, 30000, 100000})
        MeasureFileRows(bench, options, n);
    for (const int n : options.quick ? std::vector<int>{10000} : std::vector<int>{30000, 100000})
        bench.MeasureUndo("undo_rename_all", n, "OptDel", "cbRenAll", std::min(options.runs, 3));
    bench.MeasureStorms(options.quick ? 10000 : 100000, 20000, std::min(options.runs, 3));
    if (!options.onTmpfs)
        MeasureTrash(bench, options);
    else if (options.Wants("trash_all"))
        std::fprintf(stderr, "note: trash_all left out: GIO refuses the Trash on tmpfs mounts\n");
    for (const int n : options.quick ? std::vector<int>{1000, 4000, 16000}
                                     : std::vector<int>{1000, 4000, 16000, 64000})
        bench.Measure({"delete_folder", n, true,
                       [n](const fs::path& f) { MakeSubfolders(f, n, true); }, FolderGone, {}},
                      {bench.program().DeleteFolder(), Bare(Role::floor, DeleteTreeAt),
                       Peer("rm-rf", RemoveRecursively)},
                      TreeRuns(options, n));
    if (options.quick || !options.Wants("open_folder"))
        return;
    const fs::path many = bench.HomeFolder() / "many";
    MakeFiles(many, 100000);
    MeasureOpen(bench, options, 100000, many, false);
    fs::remove_all(many);
    MeasureOpen(bench, options, 100000, wide, true);
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

// The whole run in the scratch folder `root`.
void RunTable(int argc, char** argv, Options& options, const fs::path& root)
{
    fs::create_directories(root / "home");
    options.onTmpfs = OnTmpfs(root);
    if (options.onTmpfs)
        std::fprintf(stderr, "warning: %s is on tmpfs, not a real disk\n", root.c_str());
    setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qtHandler = qInstallMessageHandler(DropSizeHintWarnings);
    QApplication application(argc, argv);
    // A question about the Trash is answered yes at once, a warning closed at once and kept, so
    // that a run never waits for a person.
    driver::DialogAnswerer answers({QMessageBox::Yes});
    answers.looks = false;
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
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child") {
        const std::string kind = argv[2];
        const Start start = kind == "real" ? Start::real : kind == "bare" ? Start::bare : Start::floor;
        return Child(argc, argv, start, std::stoll(argv[3]));
    }
    if (argc == 5 && std::string(argv[1]) == "--storm") {
        const Storm storm = std::string(argv[2]) == "rm-rf" ? Storm::removeFolder : Storm::makeDelete;
        return StormChild(storm, argv[3], std::stoi(argv[4]));
    }
    Options options = ReadOptions(argc, argv);
    const scratch::ScratchFolder root(options.dir, "run-" + std::to_string(getpid()), true);
    RunTable(argc, argv, options, root.root());
    return 0;
}
