#pragma once

#include "filesystem.h"
#include "undo_refused.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace commands {

// What one command did, in the steps that take it back: every entry that it made, renamed or
// moved to the Trash, by its names and by what it is, in the folder where it acted.
struct Done {
    enum class Kind {
        Made,        // Create Folder or Create File: `to` was made
        Renamed,     // Rename or Rename All: `from` became `to`, in order
        Trashed,     // moved to the Trash: `from` is now `trashed`
        DeletedOutright,  // deleted for good, `from`: nothing can take it back
    };
    struct Step {
        Path from;
        Path to;
        EntryIdentity identity;
        Path trashed;  // where the Trash keeps it; empty where the shell cannot tell
    };

    Kind kind = Kind::Made;
    std::uint64_t serial = 0;  // the command's number in the run, given by the history
    const char* command = "";  // the control whose click did it, as in commandButtons
    Path folder;               // the folder that holds the entries (for a folder's own
                               // rename, its parent)
    EntryIdentity folderIdentity;
    bool folders = false;      // the entries are folders
    std::vector<Step> steps;
};

// The commands of this run of the program that can be undone, and those undone that can be
// done again. It lives in memory only. A new command clears what could be done again.
class History {
public:
    // Enters what a command did; a command that changed nothing (no step) enters nothing.
    void Enter(Done done);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    Done& LatestDone() { return undo_.back(); }
    Done& LatestUndone() { return redo_.back(); }
    // After an undo of the latest command: `left` stays to be undone, `undone` can be done
    // again. The command leaves the undo side once nothing of it is left there.
    void Undone(std::vector<Done::Step> left, std::vector<Done::Step> undone);
    // The same the other way round, after a redo of the latest undone command.
    void Redone(std::vector<Done::Step> left, std::vector<Done::Step> redone);
    // Drops the latest command, which cannot be undone, once the user has been told so.
    void Forget() { undo_.pop_back(); }

private:
    // Moves steps of the last command of `from` to the last of `to`: before its own steps
    // (`first`), or after them.
    static void Move(std::vector<Done>& from, std::vector<Done>& to, std::vector<Done::Step> left,
                     std::vector<Done::Step> moved, bool first);

    std::uint64_t entered_ = 0;

    std::vector<Done> undo_;
    std::vector<Done> redo_;
};

// Enters what a command did once it ends, however it ends: a command stopped part-way enters
// exactly what it did.
class Entering {
public:
    Entering(History& history, Done done) : history_(history), done_(std::move(done)) {}
    ~Entering() { history_.Enter(std::move(done_)); }
    Entering(const Entering&) = delete;
    Entering& operator=(const Entering&) = delete;
    void Add(Done::Step step) { done_.steps.push_back(std::move(step)); }

private:
    History& history_;
    Done done_;
};

} // namespace commands
