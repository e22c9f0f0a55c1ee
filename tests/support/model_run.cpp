// Random trees and random clicks over them, with another program changing the tree between
// clicks.
#include "disk_model.h"

#include "command_frame.h"
#include "fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

long fromEnvironment(const char* name, long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

std::string euros(int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += "\xe2\x82\xac";
    return s;
}

const std::vector<std::string>& typedNames()
{
    static const std::vector<std::string> names{
        "new", "a", "b", "report.txt", "x1", "Data", "img2", "img10",
        "\xc3\xa9t\xc3\xa9",      // NFC
        "e\xcc\x81te\xcc\x81",    // the same word in NFD: other bytes, another name
        "", " ", ".", "..", "a/b", "sub/x", "../up", "x/", euros(85), euros(86), "line\nbreak",
        "-rf", "*?[", "trail ", "trail.", "caf\xe9", "\xff\xfe", std::string("nul\0byte", 8)};
    return names;
}

const std::vector<std::string>& diskNames()
{
    static const std::vector<std::string> names{
        "a", "b", "sub", "img2", "img10", "Notes.TXT", "-rf", "*?[", "trail ", "trail.", " ",
        "\n", "caf\xe9", "\xc3\xa9t\xc3\xa9", "e\xcc\x81te\xcc\x81", euros(85), ".hidden", "x1"};
    return names;
}

ModelRun::ModelRun(const fs::path& root, unsigned seed)
    : root_(fs::canonical(root)), random_(seed), stops_(seed), later_(seed), undos_(seed)
{
    fs::create_directory(root_ / "trash");
    fs::create_directories(root_ / volumeTrashFiles());
    fs::create_directory(root_ / "outside");
    for (const char* keep : {"keep1", "keep2"})
        std::ofstream(root_ / "outside" / keep) << "outside " << keep;
    fs::create_directory(root_ / "disk");
    rescan();
    grow();
}

void ModelRun::grow()
{
    State added;
    for (int i = 0; i < 12; ++i) {
        const std::vector<std::string> folders = foldersBelowDisk(false);
        const std::string parent = pick(folders);
        const std::string rel = State::join(parent, pick(diskNames()));
        if (state_.find(rel) || added.find(rel) || !(state_.isDir(parent) || added.isDir(parent)))
            continue;
        const int kind = below(10);
        Entry e;
        if (kind < 3) {
            e.kind = Entry::Dir;
        } else if (kind < 4) {
            e.kind = Entry::Link;
            e.content = (root_ / "outside" / (below(2) ? "keep1" : "gone")).native();
        } else {
            e.content = "content " + std::to_string(below(1000));
            e.readOnly = below(8) == 0;
        }
        added.disk[rel] = e;
    }
    materialize(added, root_);
    forgetHistory();
    rescan();
}

Click ModelRun::next()
{
    Click c;
    const int weights[] = {3, 2, 1, 3, 2, 2, 1, 2};
    int roll = below(16);
    int i = 0;
    while (roll >= weights[i])
        roll -= weights[i++];
    c.command = allCommands[i];
    const bool onFolderItself = c.command == Command::Ren || c.command == Command::Del;
    const bool mayStay =
        !window_.folder.empty() && !(onFolderItself && window_.folder == "disk");
    if (!mayStay || below(2))
        openAnyFolder(onFolderItself);
    if (below(4) == 0) {
        interfere();
        // The window hears of it before the click only some of the time; a click that comes
        // first finds its path naming another folder, or none.
        if (std::bernoulli_distribution(0.5)(later_))
            follow();
        if (onFolderItself && window_.folder == "disk")
            openAnyFolder(true);  // disk itself stays
    }
    c.folder = window_.folder;
    const std::vector<fs::path> files = state_.filesIn(c.folder);
    const int choice = below(7);
    if (choice < 5 && !files.empty())
        c.selected = pick(files).native();
    else if (choice == 5)
        c.selected = "no such file";
    c.name = below(3) ? pick(typedNames()) : typedNames()[below(8)];
    c.justDelete = below(2);
    for (int k = 0; k < 4; ++k)
        c.answers.push_back(below(3) != 0);
    // Drawn apart, so that each seed's clicks stay those they were before walks could stop.
    if (std::uniform_int_distribution<int>(0, 4)(stops_) == 0)
        c.stopAt = std::uniform_int_distribution<std::size_t>(0, 5)(stops_);
    return c;
}

bool ModelRun::step(const Click& c, bool strict)
{
    // A folder delete stopped part-way leaves any part of the folder, each entry whole.
    strict = strict && !(c.stopAt && c.command == Command::Del);
    const commands::FolderIdentity shown = window_.held.Identity();
    const bool replaced = identityAt(c.folder).value_or(shown) != shown;
    const Outcome outcome = predict(state_, c, replaced);
    const Result run = click(c, root_, trash(), shown, &history_);
    Snapshot after = snapshot(root_);
    auto why = judge(state_, outcome, run, after.state, strict);
    if (!why)
        why = judgeByIdentity(c, shown, places_, after.places);
    if (why) {
        ADD_FAILURE() << interference_ << c.describe()
                      << (replaced ? ", its path naming another folder than the window's" : "")
                      << "\n" << *why;
        return false;
    }
    const bool outright = c.command == Command::Del ||
                          (c.justDelete && (c.command == Command::DelFile ||
                                            c.command == Command::DelAll));
    if (outright || !strict)
        forgetHistory();
    else if (after.state != state_)
        undoable_.push_back({state_, after.state}), redoable_.clear();
    state_ = std::move(after.state);
    places_ = std::move(after.places);
    replacedClicks_ += run.replaced;
    // The window reads its tree again after a refresh, and after it warned of another folder.
    const bool treeRead = run.replaced || std::ranges::count(run.refreshes, "tree") > 0;
    return !treeRead || follow();
}

bool ModelRun::undoOrRedo()
{
    // Often right after an undo, now and then after a command.
    const bool redo = !redoable_.empty() && undos_() % 2 == 0;
    if (!redo && (undoable_.empty() || undos_() % 3 != 0))
        return true;
    FakeWindow window;
    window.folder = fullPath(window_.folder);
    RecordingShell shell(trash());
    commands::CommandFrame frame(window, shell, history_);
    std::string error;
    try {
        frame.Run(redo ? &commands::CommandFrame::Redo : &commands::CommandFrame::Undo);
    } catch (const commands::UndoRefused& e) {
        error = "refused (" + std::to_string(int(e.why())) + ") at " +
                State::quoted(e.name().native()) + " beside " + State::quoted(e.other().native());
    } catch (const std::exception& e) {
        error = e.what();
    }
    Snapshot after = snapshot(root_);
    std::vector<Transition>& from = redo ? redoable_ : undoable_;
    const State& expected = redo ? from.back().after : from.back().before;
    if (!error.empty() || after.state != expected) {
        ADD_FAILURE() << (redo ? "Ctrl+Shift+Z" : "Ctrl+Z") << " " << error << "\nexpected:\n"
                      << expected.describe() << "after:\n" << after.state.describe();
        return false;
    }
    ++(redo ? redone_ : undone_);
    (redo ? undoable_ : redoable_).push_back(std::move(from.back()));
    from.pop_back();
    state_ = std::move(after.state);
    places_ = std::move(after.places);
    return follow();
}

// Another program changed the disk, or a command deleted for good: what the run knows of the
// disk before and after each command no longer holds.
void ModelRun::forgetHistory()
{
    history_ = commands::History();
    undoable_.clear();
    redoable_.clear();
}

// The window opens the folder at the path and holds it; a path that names no folder holds
// nothing, whose identity no folder has.
void ModelRun::open(const std::string& folder)
{
    interference_.clear();
    window_.folder = folder;
    try {
        window_.held = commands::HeldFolder(fullPath(folder));
    } catch (const commands::FsError&) {
        window_.held = commands::HeldFolder();
    }
}

void ModelRun::openAnyFolder(bool strictlyBelowDisk)
{
    const std::vector<std::string> folders = foldersBelowDisk(strictlyBelowDisk);
    open(folders.empty() || below(20) == 0 ? "disk/vanished" : pick(folders));
}

// The window finds its folder again as the real tree does: at its new name while it is in the
// same parent, else (deleted, trashed, moved elsewhere) the nearest folder above its old path. Whatever
// another program put at the old path is never taken for it. False, with the failure
// recorded, when the window went anywhere else.
bool ModelRun::follow()
{
    const std::string old = window_.folder;
    const std::string heard = interference_;
    const commands::FolderIdentity held = window_.held.Identity();
    const std::optional<commands::FolderIdentity> atOldPath = identityAt(old);
    const std::string expected = whereInItsParent(held, old).value_or(nearestFolderAbove(old));
    const std::string prefix = root_.native() + "/";
    const std::optional<commands::Path> now = window_.held.FindAgain(prefix + old);
    const std::string rel =
        now && now->native().starts_with(prefix) ? now->native().substr(prefix.size()) : "";
    if (State::within(rel, "disk"))
        window_.folder = rel;
    else
        open(nearestFolderAbove(old));
    std::string why;
    if (atOldPath && *atOldPath != held && window_.held.Identity() == *atOldPath)
        why = "took the folder that another program put at " + State::quoted(old) + " for its own";
    else if (window_.folder != expected)
        why = "went to " + State::quoted(window_.folder) + ", not " + State::quoted(expected);
    if (why.empty())
        return true;
    ADD_FAILURE() << heard << "the window, following its folder from "
                  << State::quoted(old) << ", " << why;
    return false;
}

std::string ModelRun::nearestFolderAbove(const std::string& rel) const
{
    std::string up = State::parentOf(rel);
    while (!state_.isDir(up))
        up = State::parentOf(up);
    return up;
}

// Where the walk last found the folder, when that is in the folder at its old path's parent:
// renamed there, not moved elsewhere nor into a Trash.
std::optional<std::string> ModelRun::whereInItsParent(const commands::FolderIdentity& folder,
                                                      const std::string& old) const
{
    const auto found = places_.find(ino_t(folder.file));
    if (folder.file == 0 || found == places_.end() ||
        State::parentOf(found->second.rel) != State::parentOf(old) ||
        !State::within(found->second.rel, "disk"))
        return std::nullopt;
    return found->second.rel;
}

std::optional<commands::FolderIdentity> ModelRun::identityAt(const std::string& rel) const
{
    struct stat st {};
    if (::stat(fullPath(rel).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return commands::FolderIdentity{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)};
}

void ModelRun::rescan()
{
    Snapshot now = snapshot(root_);
    state_ = std::move(now.state);
    places_ = std::move(now.places);
}

// Another program changes the tree: it moves an entry away (renamed, into another folder, or
// into a Trash), swaps a folder for a new one with files of the same names, removes an entry,
// or moves another folder to the path of the window's folder. The window's folder and its
// parent are its targets more often than the rest; the folder disk itself stays.
void ModelRun::interfere()
{
    const std::string& shown = window_.folder;
    const int choice = below(3);
    const std::string target = choice == 0 ? anyEntryBelowDisk()
                               : choice == 1 ? shown
                                             : State::parentOf(shown);
    if (!target.starts_with("disk/") || !state_.find(target))
        return;
    switch (below(4)) {
    case 0: relocate(target); break;
    case 1: replace(target); break;
    case 2: remove(target); break;
    case 3: putAnotherFolderAt(shown); break;
    }
    forgetHistory();
    rescan();
}

// Renames the entry in its folder, or moves it into another folder below disk (not into
// itself), or into the Trash of the volume, where the window must let its folder go.
void ModelRun::relocate(const std::string& rel)
{
    std::vector<std::string> into;
    for (const std::string& f : foldersBelowDisk(false))
        if (!State::within(f, rel))
            into.push_back(f);
    auto draw = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(later_);
    };
    switch (draw(3)) {
    case 0: moveAway(rel); break;
    case 1: moveInto(rel, into[draw(into.size())]); break;
    case 2: moveInto(rel, volumeTrashFiles()); break;
    }
}

std::string ModelRun::moveAway(const std::string& rel) { return moveInto(rel, State::parentOf(rel)); }

// Moves the entry into the folder under a name of its own; returns where it went.
std::string ModelRun::moveInto(const std::string& rel, const std::string& folder)
{
    const std::string to = State::join(folder, "moved " + std::to_string(++moves_));
    std::error_code failed;
    fs::rename(fullPath(rel), fullPath(to), failed);
    if (failed)
        return rel;
    state_.move(rel, to);
    interference_ +=
        "another program moved " + State::quoted(rel) + " to " + State::quoted(to) + "\n";
    return to;
}

// Moves the folder away and makes a new one at its path, with subfolders and files of the
// same names two levels deep: a command that went by the path would find all it expects,
// in another folder.
void ModelRun::replace(const std::string& rel)
{
    if (!state_.isDir(rel))
        return;
    const std::string away = moveAway(rel);
    if (away == rel)
        return;
    State replica;
    for (const auto& [r, e] : state_.disk) {
        const std::string inner = r.substr(std::min(r.size(), away.size()));
        if (State::within(r, away) && std::count(inner.begin(), inner.end(), '/') <= 2)
            replica.disk[rel + inner] =
                e.kind == Entry::Dir ? folderEntry() : fileEntry("replica");
    }
    try {
        materialize(replica, root_);
    } catch (const fs::filesystem_error&) {
        // A full volume takes a part of it, or none; the walk after finds what there is.
    }
    interference_ += "another program made a new " + State::quoted(rel) + "\n";
}

void ModelRun::remove(const std::string& rel)
{
    std::error_code ignored;
    fs::remove_all(fullPath(rel), ignored);
    interference_ += "another program removed " + State::quoted(rel) + "\n";
}

// Moves the window's folder away and another folder, not one around it, to its path.
void ModelRun::putAnotherFolderAt(const std::string& shown)
{
    if (!shown.starts_with("disk/") || !state_.isDir(shown) || moveAway(shown) == shown)
        return;
    std::vector<std::string> others;
    for (const std::string& f : foldersBelowDisk(true))
        if (!State::within(shown, f))
            others.push_back(f);
    if (others.empty())
        return;
    const std::string other = pick(others);
    std::error_code failed;
    fs::rename(fullPath(other), fullPath(shown), failed);
    if (!failed)
        interference_ += "another program moved " + State::quoted(other) + " to " +
                         State::quoted(shown) + "\n";
}

// A Trash at the top of a volume, as the window knows it: ".Trash-<uid>/files".
std::string ModelRun::volumeTrashFiles() { return ".Trash-" + std::to_string(getuid()) + "/files"; }

std::string ModelRun::anyEntryBelowDisk()
{
    std::vector<std::string> entries;
    for (const auto& [rel, e] : state_.disk)
        if (rel.starts_with("disk/"))
            entries.push_back(rel);
    return entries.empty() ? std::string() : pick(entries);
}

std::vector<std::string> ModelRun::foldersBelowDisk(bool strictlyBelow) const
{
    std::vector<std::string> folders;
    if (!strictlyBelow && state_.isDir("disk"))
        folders.push_back("disk");
    for (const auto& [rel, e] : state_.disk)
        if (e.kind == Entry::Dir && rel.starts_with("disk/"))
            folders.push_back(rel);
    return folders;
}

} // namespace model
