#pragma once

// A small in-memory picture of a folder tree and what each of the eight commands is to do to
// it. A test clicks a command over a real tree and then compares the disk with the picture:
// the commands may change the disk only as the picture says, and a failure may only leave one
// of the states the picture allows (nothing changed, or, in the batch commands, the files
// before the failing one done).
//   model_state.cpp    the picture, read from and written to disk
//   model_predict.cpp  what a click is to do to it
//   model_click.cpp    one click as the window makes it
//   model_judge.cpp    the disk after a click compared with what it may be
//   model_run.cpp      random trees and clicks, with another program changing the tree
#include "command_button.h"
#include "command_window.h"
#include "held_folder.h"
#include "history.h"

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace model {

namespace fs = std::filesystem;

struct Entry {
    enum Kind { Dir, File, Link } kind = File;
    std::string content;  // a file's bytes, or where a link leads
    bool readOnly = false;
    bool operator==(const Entry&) const = default;
};

inline Entry folderEntry() { return Entry{Entry::Dir, "", false}; }
inline Entry fileEntry(std::string content) { return Entry{Entry::File, std::move(content), false}; }

// Relative path (bytes, '/' between elements) to entry; plus the trash as a bag of contents.
struct State {
    std::map<std::string, Entry> disk;
    std::multiset<std::string> trash;
    bool operator==(const State&) const = default;

    const Entry* find(const std::string& rel) const;
    bool isDir(const std::string& rel) const;
    // Names of the entries directly in a folder that are not folders, in the list's order.
    std::vector<fs::path> filesIn(const std::string& folder) const;
    // Moves a folder or file with everything below it.
    void move(const std::string& from, const std::string& to);
    void erase(const std::string& folder);
    std::string describe() const;

    static std::string parentOf(const std::string& rel);
    static std::string nameOf(const std::string& rel);
    static std::string join(const std::string& folder, const std::string& name);
    static bool within(const std::string& rel, const std::string& folder);
    // The bytes readably: anything outside printable ASCII as \xNN.
    static std::string quoted(const std::string& bytes);
};

// How the trash holds an entry: what it was and what it held.
std::string trashKey(const Entry& e);


// Makes the disk hold what the picture says (below an empty root).
void materialize(const State& state, const fs::path& root);

// In the order of the window's command table (commands::commandButtons).
enum class Command { Cr, Ren, Del, CrFile, RenFile, DelFile, DelAll, RenAll };
inline constexpr Command allCommands[] = {Command::Cr,      Command::Ren,     Command::Del,
                                          Command::CrFile,  Command::RenFile, Command::DelFile,
                                          Command::DelAll,  Command::RenAll};

const char* nameOf(Command c);

// One click and what the window shows at that moment.
struct Click {
    Command command = Command::Cr;
    std::string folder;    // the open folder, relative to the root
    std::string selected;  // the selected file's name, empty for none
    std::string name;      // the name box
    bool justDelete = false;
    std::vector<bool> answers;  // the user's answers to the Trash questions; missing ones are yes
    // The user stops a long walk before this change (from 0).
    std::optional<std::size_t> stopAt = std::nullopt;

    std::string describe() const;
};

using Refreshes = std::vector<std::string>;

// A state the click may end in, with the refreshes that go with it.
struct Possible {
    State state;
    Refreshes refreshes;
};

struct Outcome {
    // Every state the click may end in, the one without any fault last. A click that ends with
    // an error may only leave the first (nothing changed), and no refresh.
    std::vector<Possible> possible;
    bool throws = false;  // without faults the click ends with an error
    bool replaced = false;  // that error is FolderReplaced
    // A folder delete: inside this folder any part may be gone, each remaining entry as it was.
    std::optional<std::string> looseFolder;
};

// What the click is to do to the state. folderReplaced: another program has put another folder
// at the click's path since the window read the folder it shows.
Outcome predict(const State& before, const Click& c, bool folderReplaced = false);

// How a click ended, as the window saw it.
struct Result {
    bool threw = false;
    bool replaced = false;  // the error was FolderReplaced
    std::uint64_t changed = 0;  // files that it says were changed before
    std::string error;
    Refreshes refreshes;
};

// Runs one click over the tree below root, as the window would: a failure that leaves the
// click procedure is caught and shown, and the window stays open. The identity is what the
// window read as its folder; unset, whatever the path names when a command asks.
Result click(const Click& c, const fs::path& root, const fs::path& trash,
             std::optional<commands::FolderIdentity> identity = std::nullopt,
             commands::History* history = nullptr);

// Checks the disk after a click. Strict: it must be the state that the click makes without
// faults. Otherwise: any state that the outcome allows. Returns the explanation of a mismatch,
// or nothing when the disk is as it may be.
std::optional<std::string> judge(const State& before, const Outcome& outcome, const Result& run,
                                 const State& after, bool strict);

// ---- The window's folder followed by what it is, not by its path.

// Where an entry is, relative to the root (the trash's entries under "trash/"), and what it is.
struct Whereabout {
    std::string rel;
    Entry entry;
    bool operator==(const Whereabout&) const = default;
};
// Every entry below the root by its inode. An entry with a second name is kept under one of
// them here; the picture by path keeps both.
using Whereabouts = std::map<ino_t, Whereabout>;

// The picture by path (the trash at root/trash kept as a bag) and the entries by
// inode, from one walk over the root.
struct Snapshot {
    State state;
    Whereabouts places;
};

Snapshot snapshot(const fs::path& root);
// What the disk holds below root (root/trash left out), and what the trash holds.
inline State scan(const fs::path& root) { return snapshot(root).state; }

// Checks a click against the folder that the window read (`shown`), found by its inode
// wherever it is now. The click may act only when its path names that folder, and then it
// changes nothing outside it but the folder's own name (Rename) or existence (Delete), the
// trash, and a new entry that a typed ".." puts beside it. No entry changes its bytes, and
// nothing is lost but what the click deletes on purpose. Returns what broke these rules.
std::optional<std::string> judgeByIdentity(const Click& c, const commands::FolderIdentity& shown,
                                           const Whereabouts& before, const Whereabouts& after);

// ---- Random runs.

// A whole number from the environment, or the fallback when it is not set.
long fromEnvironment(const char* name, long fallback);

// count euro signs: three bytes each, so 85 of them fill a 255-byte name and 86 overflow it.
std::string euros(int count);

// Names that a user may type, and names found on disk, the awkward ones included.
const std::vector<std::string>& typedNames();
const std::vector<std::string>& diskNames();

// A random tree and random clicks over it, from one seed.
class ModelRun {
public:
    ModelRun(const fs::path& root, unsigned seed);

    fs::path trash() const { return root_ / "trash"; }

    // Adds a few random folders, files and links below disk, on disk and in the picture.
    void grow();

    // The next random click. Before it the window may open another folder, and another program
    // may change the tree.
    Click next();

    // Clicks and checks; false (with the failure recorded) when the disk is not as expected.
    // Strict: exactly as without faults. Otherwise any state that the click allows.
    bool step(const Click& c, bool strict = true);

    // Ctrl+Z, or Ctrl+Shift+Z, now and then, where the last clicks changed the disk without
    // another program changing it since: the disk must then be exactly as it was before the
    // command undone, or after the command done again. False, with the failure recorded, when
    // it is not.
    bool undoOrRedo();

    const State& state() const { return state_; }
    // How many clicks found another folder at their path, and said so.
    int replacedClicks() const { return replacedClicks_; }
    // How many times Ctrl+Z and Ctrl+Shift+Z were pressed.
    int undone() const { return undone_; }
    int redone() const { return redone_; }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    template <typename T>
    const T& pick(const std::vector<T>& items) { return items[below(int(items.size()))]; }

    void open(const std::string& folder);
    void openAnyFolder(bool strictlyBelowDisk);
    bool follow();
    std::string nearestFolderAbove(const std::string& rel) const;
    std::optional<std::string> whereInItsParent(const commands::FolderIdentity& folder,
                                                const std::string& old) const;
    std::optional<commands::FolderIdentity> identityAt(const std::string& rel) const;
    void rescan();
    std::string fullPath(const std::string& rel) const { return root_.native() + "/" + rel; }
    static std::string volumeTrashFiles();

    void interfere();
    void relocate(const std::string& rel);
    std::string moveAway(const std::string& rel);
    std::string moveInto(const std::string& rel, const std::string& folder);
    void replace(const std::string& rel);
    void remove(const std::string& rel);
    void putAnotherFolderAt(const std::string& shown);
    std::string anyEntryBelowDisk();
    std::vector<std::string> foldersBelowDisk(bool strictlyBelow) const;

    struct Window {
        std::string folder;  // relative to the root; empty before the first click
        commands::HeldFolder held;  // what the folder is, wherever it goes
    };

    fs::path root_;
    std::mt19937 random_;
    std::mt19937 stops_;  // where the user stops a long walk
    std::mt19937 later_;  // draws added since, so that each seed's earlier draws stay as they were
    State state_;
    Whereabouts places_;  // the same entries by inode
    Window window_;
    int moves_ = 0;
    // The run's history, and the disk before and after each command in it.
    commands::History history_;
    struct Transition {
        State before, after;
    };
    std::vector<Transition> undoable_, redoable_;
    std::mt19937 undos_;
    int undone_ = 0, redone_ = 0;
    void forgetHistory();
    int replacedClicks_ = 0;
    std::string interference_;  // what another program did since the window read its folder
};

} // namespace model
