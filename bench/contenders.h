#pragma once

// Who does a row's work: the program through its window, the bare loop on full paths (limit),
// the fastest loop the kernel allows (floor), or a tool that a user would run instead (peer);
// and, for start-up and memory, the program or a bare window in a process of its own.

#include "scratch_folder.h"
#include "window_driver.h"

#include <QtCore/QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start);
// The steady clock in nanoseconds, as a child process reads it too.
long long NowNs();

// A fresh folder of n empty files named like photo_00001.jpg, written to disk before timing.
void MakeFiles(const fs::path& folder, int n);
// A fresh folder of n subfolders named like album_000001, each holding one empty file when
// withFile, written to disk before timing.
void MakeSubfolders(const fs::path& folder, int n, bool withFile);
// The number of entries in the folder, -1 when it is gone.
int CountEntries(const fs::path& folder);

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

inline Contender Peer(const char* name, std::optional<double> (*tool)(const fs::path&))
{
    return {Role::peer, name, tool};
}

// The longest time between two turns of the event loop while a command runs, counted from
// the click to the end of the event loop's work after it: a zero timer fires at every turn.
// Where the processor time of the window is measured too, a timer every few milliseconds
// stands in for it, as a zero timer keeps the processor busy.
class GapMeter {
public:
    GapMeter();
    void Start(int everyMs = 0);
    void Stop();
    // The longest gap in milliseconds of the last measurement; nothing once cleared.
    std::optional<double> Longest() const { return measured_; }
    void Clear() { measured_.reset(); }

private:
    void Turn();

    QTimer timer_;
    Clock::time_point last_;
    double longest_ = 0;
    std::optional<double> measured_;
};

// What the window did while another process changed the folder that it shows.
struct StormFigures {
    double stormMs = 0;    // the storm's own wall time
    double cpuMs = 0;      // this process's processor time, user and system, during the storm
    double settleMs = -1;  // from the storm's end until the window shows the final state; -1: never
    double maxGapMs = 0;   // the longest time without a turn of the event loop, storm and settling
};

// The storms that another process makes, run as a child of this program (StormChild).
enum class Storm {
    makeDelete,    // n empty files made one by one (creat), then each deleted (unlink)
    removeFolder,  // rm -rf of the folder
};

// Child process: the storm on the folder, printing the steady clock's nanoseconds as it starts
// and again once it has ended.
int StormChild(Storm storm, const fs::path& folder, int n);
// The storm's wall time in a folder that no window shows, in milliseconds.
double StormAlone(const fs::path& folder, Storm storm, int n);

// The program's window, opened on home and driven as a user drives it; each contender opens
// its folder, home's subfolder, in the tree.
class Program {
public:
    explicit Program(const fs::path& home);

    // Back to home, untimed, with the tree showing its current subfolders.
    void Home();
    // The longest gap of the last command, cleared before each contender's turn.
    GapMeter& gaps() { return gaps_; }

    // Double-clicks the folder in the tree until both lists hold its n entries and are painted.
    Contender OpenFolder(int n, bool subfolders);
    // A button of the All Files page with the delete method chosen and "p" typed.
    Contender Command(const char* option, const char* button);
    Contender TrashAll() { return Command("OptDelRec", "cbDelAll"); }
    // The Folder page's Delete on the folder opened in the tree.
    Contender DeleteFolder();
    // A button of the All Files page as Command clicks it, then Ctrl+Z: the milliseconds of
    // each, and the longest gap of the undo (kept in gaps()).
    std::pair<double, double> CommandThenUndo(const fs::path& folder, const char* option,
                                              const char* button);
    // Opens home's subfolder in the tree, then has a child process run the storm on it while
    // the event loop runs as it does for a user, until the window shows the final state: the
    // folder open with no file listed, or, once it is removed, home open without it.
    StormFigures Weather(const fs::path& folder, Storm storm, int n);

private:
    void Open(const fs::path& folder);
    double TimedClick(const char* button);
    double TimedUndo();
    int ListedFiles();
    // The subfolders that the tree lists below the open folder and its ancestors.
    int ListedSubfolders();
    bool ShowsFinalState(const fs::path& folder, Storm storm);

    driver::WindowDriver window_;
    fs::path home_;
    GapMeter gaps_;
};

} // namespace bench
