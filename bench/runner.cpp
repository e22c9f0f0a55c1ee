#include "runner.h"

#include <QtCore/QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace bench {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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

namespace {

std::string Figures(const char* format, double first, double second = 0)
{
    char figures[128];
    std::snprintf(figures, sizeof figures, format, first, second);
    return figures;
}

// The row's line, then a line for each peer. gaps: the longest time without a turn of the
// event loop in each of the program's runs.
void PrintRow(const Row& row, const std::vector<Contender>& contenders,
              const std::vector<std::vector<double>>& ms, const std::vector<double>& gaps)
{
    const double program = Median(ms[0]);
    const std::string what =
        "op=" + row.op + " n=" + std::to_string(row.n) + (row.subfolders ? " of=subfolders" : "");
    std::string line = what + Figures(" ms=%.1f", program);
    if (!gaps.empty())
        line += Figures(" max_gap_ms=%.1f", *std::max_element(gaps.begin(), gaps.end()));
    std::vector<std::string> peers;
    for (std::size_t i = 1; i < contenders.size(); ++i) {
        const Contender& contender = contenders[i];
        if (contender.role == Role::peer && ms[i].empty()) {
            peers.push_back("peer=" + contender.name + " missing " + what);
            continue;
        }
        const double other = Median(ms[i]);
        if (contender.role == Role::peer)
            peers.push_back("peer=" + contender.name + Figures(" ms=%.1f ", other) + what +
                            Figures(" ratio=%.2f", program / other));
        else if (contender.role == Role::limit)
            line += Figures(" limit_ms=%.1f ratio=%.2f", other, program / other);
        else
            line += Figures(" floor_ms=%.1f floor_ratio=%.2f", other, program / other);
    }
    std::printf("%s\n", line.c_str());
    for (const std::string& peer : peers)
        std::printf("%s\n", peer.c_str());
    std::fflush(stdout);
}

} // namespace

Bench::Bench(const Options& options, const fs::path& root, driver::DialogAnswerer& answers)
    : options_(options), root_(root), home_(root / "home"), xdg_(root / "xdg"), answers_(answers),
      program_(home_)
{
}

std::vector<fs::path> Bench::MakeFolders(const Row& row, std::size_t count, int run)
{
    if (!row.shared.empty())
        return std::vector<fs::path>(count, row.shared);
    std::vector<fs::path> folders;
    for (std::size_t i = 0; i < count; ++i) {
        // (Names appended in steps: GCC 12 warns falsely on "f" + std::to_string.)
        std::string name = i == 0 ? "f" : "c";
        name += std::to_string(run) + '-' + std::to_string(i);
        folders.push_back((i == 0 ? home_ : root_) / name);
        row.make(folders.back());
    }
    return folders;
}

void Bench::Measure(const Row& row, const std::vector<Contender>& contenders, int runs)
{
    if (!options_.Wants(row.op))
        return;
    std::vector<std::vector<double>> ms(contenders.size());
    std::vector<double> gaps;
    for (int run = 0; run < runs; ++run) {
        const std::vector<fs::path> folders = MakeFolders(row, contenders.size(), run);
        program_.Home();
        for (std::size_t k = 0; k < contenders.size(); ++k) {
            const std::size_t i = (run + k) % contenders.size();
            SetTrashAside();
            program_.gaps().Clear();
            if (const std::optional<double> taken = contenders[i].time(folders[i]))
                ms[i].push_back(*taken);
            if (i == 0) {
                if (const std::optional<double> gap = program_.gaps().Longest())
                    gaps.push_back(*gap);
                program_.Home();
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

void Bench::MeasureUndo(const char* op, int n, const char* option, const char* button, int runs)
{
    if (!options_.Wants(op))
        return;
    std::vector<double> command, undo, ratio, gaps;
    for (int run = 0; run < runs; ++run) {
        const fs::path folder = home_ / (std::string(op) + "-" + std::to_string(run));
        MakeFiles(folder, n);
        program_.Home();
        SetTrashAside();
        const auto [commandMs, undoMs] = program_.CommandThenUndo(folder, option, button);
        if (const std::optional<double> gap = program_.gaps().Longest())
            gaps.push_back(*gap);
        if (CountEntries(folder) != n || fs::exists(folder / "p1"))
            std::fprintf(stderr, "warning: %s n=%d: the undo left the folder unfinished\n", op, n);
        command.push_back(commandMs);
        undo.push_back(undoMs);
        ratio.push_back(undoMs / commandMs);
        program_.Home();
        ReportWarnings({op, n, false, {}, {}, {}});
        fs::remove_all(folder);
        fs::remove_all(xdg_);
    }
    std::printf("op=%s n=%d ms=%.1f command_ms=%.1f ratio=%.2f max_gap_ms=%.1f\n", op, n,
                Median(undo), Median(command), Median(ratio),
                gaps.empty() ? -1.0 : *std::max_element(gaps.begin(), gaps.end()));
    std::fflush(stdout);
}

void Bench::MeasureQuestions(int n, int runs)
{
    if (!options_.Wants("trash_all"))
        return;
    std::vector<double> first, last, ratio, total;
    const fs::path folder = home_ / "questions";
    MakeFiles(folder, n);
    answers_.AnswerAlways(QMessageBox::No);
    for (int run = 0; run < runs; ++run) {
        answers_.Forget();
        program_.Home();
        total.push_back(*program_.TrashAll().time(folder));
        const std::vector<Clock::time_point>& at = answers_.shownAt();
        if (static_cast<int>(at.size()) != n || CountEntries(folder) != n)
            qFatal("%zu questions for %d files", at.size(), n);
        first.push_back(std::chrono::duration<double, std::milli>(at[1000] - at[0]).count());
        last.push_back(std::chrono::duration<double, std::milli>(at.back() - at[n - 1001]).count());
        ratio.push_back(last.back() / first.back());
    }
    answers_.AnswerAlways(QMessageBox::Yes);
    program_.Home();
    fs::remove_all(folder);
    std::printf("op=trash_all per_question_growth n=%d answer=no ms=%.1f us_per_question=%.0f "
                "first1000_ms=%.1f last1000_ms=%.1f ratio=%.2f\n",
                n, Median(total), Median(total) * 1000 / n, Median(first), Median(last),
                Median(ratio));
    std::fflush(stdout);
}

void Bench::MeasureStorms(int n, int removed, int runs)
{
    if (!options_.Wants("outside_storm"))
        return;
    for (const Storm storm : {Storm::makeDelete, Storm::removeFolder}) {
        const int count = storm == Storm::makeDelete ? n : removed;
        const Row row{"outside_storm", count, false, {}, {}, {}};
        std::vector<double> stormMs, cpuMs, ratio, settleMs, gaps, aloneMs;
        for (int run = 0; run < runs; ++run) {
            const fs::path folder = home_ / ("storm-" + std::to_string(run));
            const fs::path alone = root_ / ("storm-alone-" + std::to_string(run));
            for (const fs::path& made : {folder, alone}) {
                if (storm == Storm::makeDelete)
                    fs::create_directories(made);
                else
                    MakeFiles(made, count);
            }
            sync();
            if (run % 2 == 1)
                aloneMs.push_back(StormAlone(alone, storm, count));
            program_.Home();
            const StormFigures figures = program_.Weather(folder, storm, count);
            program_.Home();
            ReportWarnings(row);
            if (run % 2 == 0)
                aloneMs.push_back(StormAlone(alone, storm, count));
            fs::remove_all(folder);
            fs::remove_all(alone);
            if (figures.settleMs < 0)
                std::fprintf(stderr, "warning: outside_storm n=%d: the window never showed the "
                                     "storm's end\n", count);
            stormMs.push_back(figures.stormMs);
            cpuMs.push_back(figures.cpuMs);
            ratio.push_back(figures.cpuMs / figures.stormMs);
            settleMs.push_back(figures.settleMs);
            gaps.push_back(figures.maxGapMs);
        }
        std::printf("op=outside_storm storm=%s n=%d storm_ms=%.1f cpu_ms=%.1f cpu_ratio=%.2f "
                    "settle_ms=%.1f max_settle_ms=%.1f max_gap_ms=%.1f alone_ms=%.1f "
                    "slowdown=%.2f\n",
                    storm == Storm::makeDelete ? "make-delete" : "rm-rf", count, Median(stormMs),
                    Median(cpuMs), Median(ratio), Median(settleMs),
                    *std::max_element(settleMs.begin(), settleMs.end()),
                    *std::max_element(gaps.begin(), gaps.end()), Median(aloneMs),
                    Median(stormMs) / Median(aloneMs));
        std::fflush(stdout);
    }
}

void Bench::PrintGrowth()
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

// The warnings that the window showed during the program's turn: a turn that warned did not do
// all the work it was timed for.
void Bench::ReportWarnings(const Row& row)
{
    QStringList warnings;
    for (qsizetype i = 0; i < answers_.names().size(); ++i)
        if (answers_.names()[i] != QLatin1String("TrashQuestion"))
            warnings << answers_.texts()[i];
    if (!warnings.isEmpty())
        std::fprintf(stderr, "warning: %s n=%d: the window warned %lld times, first: %s\n",
                     row.op.c_str(), row.n, static_cast<long long>(warnings.size()),
                     qPrintable(warnings.first()));
    answers_.Forget();
}

// Every contender trashes into a Trash of its own: the one before is moved aside, not deleted,
// so that no mass deletion runs just before a contender makes files.
void Bench::SetTrashAside()
{
    std::error_code ignored;
    if (fs::exists(trash_))
        fs::rename(trash_, xdg_ / ("used-" + std::to_string(++trashesUsed_)), ignored);
}

} // namespace bench
