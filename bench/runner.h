#pragma once

// The runner of the benchmark's table: every row timed through the window and against its
// limit, floor and peers, each contender on a fresh folder of its own, and the lines printed.

#include "contenders.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

double Median(std::vector<double> values);

struct Options {
    fs::path dir = "/var/tmp/ffname-bench";
    int runs = 5;
    bool quick = false;
    std::set<std::string> only;
    bool onTmpfs = false;

    bool Wants(const std::string& op) const { return only.empty() || only.count(op); }
};

// --dir FOLDER, --runs K, --quick, --only OP[,OP...]
Options ReadOptions(int argc, char** argv);

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

class Bench {
public:
    // root: the run's scratch folder; the window opens on its "home", and the Trash is its
    // "xdg"'s.
    Bench(const Options& options, const fs::path& root, driver::DialogAnswerer& answers);

    // Times the row runs times. Every contender gets a fresh folder of its own; all are made
    // before any is timed, and the order of the contenders turns by one each run: on ext4 the
    // cost of making files depends on how many were deleted in the last seconds, which would
    // otherwise favour whichever contender comes later.
    void Measure(const Row& row, const std::vector<Contender>& contenders, int runs);

    // Cost per question of Delete All to the Trash, the first 1,000 questions against the last
    // 1,000 of n. Every question is answered No, so that no file is moved and what is timed is
    // the question alone, free of the disk's ups and downs.
    void MeasureQuestions(int n, int runs);

    // Another process's storm of changes in the folder that the window shows, while its event
    // loop runs: n files made, then deleted; then rm -rf of a shown folder of `removed` files.
    // Each gets the window's processor time against the storm's wall time, the time the
    // window takes after the storm to show the final state, and the storm's wall time against
    // the same storm in a folder that no window shows (which of the two goes first turns
    // from run to run).
    void MeasureStorms(int n, int removed, int runs);

    // Ctrl+Z right after the command, on a folder of n files: the undo's time against the
    // command's own in the same run, and the undo's longest gap.
    void MeasureUndo(const char* op, int n, const char* option, const char* button, int runs);

    // Cost per entry at the largest size over that at 1,000, for each op timed at several
    // sizes (open_folder against 30,000: its one row of 100,000 stands apart).
    void PrintGrowth();

    Program& program() { return program_; }
    const fs::path& Trash() const { return trash_; }
    const fs::path& HomeFolder() const { return home_; }

private:
    std::vector<fs::path> MakeFolders(const Row& row, std::size_t count, int run);
    void ReportWarnings(const Row& row);
    void SetTrashAside();

    const Options& options_;
    fs::path root_, home_, xdg_;
    fs::path trash_ = xdg_ / "Trash";
    driver::DialogAnswerer& answers_;
    Program program_;
    std::map<std::pair<std::string, bool>, std::map<int, double>> perEntry_;  // by op, of subfolders
    int trashesUsed_ = 0;
};

} // namespace bench
