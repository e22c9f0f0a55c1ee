#pragma once

// A small in-memory picture of a folder tree and what each of the eight commands is to do to
// it. A test clicks a command over a real tree and then compares the disk with the picture:
// the commands may change the disk only as the picture says, and a failure may only leave one
// of the states the picture allows (nothing changed, or, in the batch commands, the files
// before the failing one done).
#include "command_frame.h"
#include "natural_order.h"

#include "fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
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

    const Entry* find(const std::string& rel) const
    {
        const auto it = disk.find(rel);
        return it == disk.end() ? nullptr : &it->second;
    }
    bool isDir(const std::string& rel) const
    {
        const Entry* e = find(rel);
        return rel.empty() || (e && e->kind == Entry::Dir);
    }
    // Names of the entries directly in a folder that are not folders.
    std::vector<fs::path> filesIn(const std::string& folder) const
    {
        std::vector<fs::path> names;
        for (const auto& [rel, entry] : disk)
            if (entry.kind != Entry::Dir && parentOf(rel) == folder)
                names.emplace_back(nameOf(rel));
        commands::SortNaturally(names);
        return names;
    }
    static std::string parentOf(const std::string& rel)
    {
        const auto slash = rel.rfind('/');
        return slash == std::string::npos ? std::string() : rel.substr(0, slash);
    }
    static std::string nameOf(const std::string& rel) { return rel.substr(rel.rfind('/') + 1); }
    static std::string join(const std::string& folder, const std::string& name)
    {
        return folder.empty() ? name : folder + "/" + name;
    }
    static bool within(const std::string& rel, const std::string& folder)
    {
        return rel == folder || rel.starts_with(folder + "/");
    }
    // Moves a folder or file with everything below it.
    void move(const std::string& from, const std::string& to)
    {
        std::map<std::string, Entry> moved;
        for (auto it = disk.begin(); it != disk.end();) {
            if (within(it->first, from)) {
                moved[to + it->first.substr(from.size())] = it->second;
                it = disk.erase(it);
            } else {
                ++it;
            }
        }
        disk.merge(moved);
    }
    void erase(const std::string& folder)
    {
        std::erase_if(disk, [&](const auto& item) { return within(item.first, folder); });
    }
    std::string describe() const
    {
        std::ostringstream out;
        for (const auto& [rel, e] : disk)
            out << "  " << quoted(rel) << (e.kind == Entry::Dir ? "/" : e.kind == Entry::Link ? " ->" : " =")
                << (e.kind == Entry::Dir ? "" : " " + quoted(e.content)) << (e.readOnly ? " (ro)" : "")
                << "\n";
        out << "  trash:";
        for (const auto& t : trash)
            out << " " << quoted(t);
        return out.str();
    }
    static std::string quoted(const std::string& bytes)
    {
        std::string out = "\"";
        for (unsigned char c : bytes) {
            if (c < 0x20 || c >= 0x7f || c == '"') {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02x", c);
                out += hex;
            } else {
                out += char(c);
            }
        }
        return out + "\"";
    }
};

// How the trash holds an entry: what it was and what it held.
inline std::string trashKey(const Entry& e)
{
    return (e.kind == Entry::Link ? "link:" : "file:") + e.content;
}

inline std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline Entry entryOnDisk(const fs::path& path)
{
    const fs::file_status st = fs::symlink_status(path);
    Entry e;
    if (fs::is_symlink(st)) {
        e.kind = Entry::Link;
        e.content = fs::read_symlink(path).native();
    } else if (fs::is_directory(st)) {
        e.kind = Entry::Dir;
    } else {
        e.content = readAll(path);
        e.readOnly = (st.permissions() & fs::perms::owner_write) == fs::perms::none;
    }
    return e;
}

// What the disk holds below root (the folder named trash left out), and what the trash holds.
inline State scan(const fs::path& root, const fs::path& trash)
{
    State state;
    const std::string prefix = root.native() + "/";
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->path() == trash) {
            it.disable_recursion_pending();
            continue;
        }
        state.disk[it->path().native().substr(prefix.size())] = entryOnDisk(it->path());
    }
    if (fs::exists(trash))
        for (const auto& item : fs::directory_iterator(trash))
            state.trash.insert(trashKey(entryOnDisk(item.path())));
    return state;
}

// Makes the disk hold what the picture says (below an empty root).
inline void materialize(const State& state, const fs::path& root)
{
    for (const auto& [rel, e] : state.disk) {  // a map: every folder comes before its entries
        const fs::path path = root.native() + "/" + rel;
        if (e.kind == Entry::Dir)
            fs::create_directory(path);
        else if (e.kind == Entry::Link)
            fs::create_symlink(e.content, path);
        else
            std::ofstream(path, std::ios::binary) << e.content;
    }
    for (const auto& [rel, e] : state.disk)
        if (e.readOnly)
            fs::permissions(root.native() + "/" + rel, fs::perms::owner_write | fs::perms::group_write |
                                                       fs::perms::others_write,
                            fs::perm_options::remove);
}

enum class Command { Cr, Ren, Del, CrFile, RenFile, DelFile, DelAll, RenAll };
inline constexpr Command allCommands[] = {Command::Cr,      Command::Ren,     Command::Del,
                                          Command::CrFile,  Command::RenFile, Command::DelFile,
                                          Command::DelAll,  Command::RenAll};

inline const char* nameOf(Command c)
{
    static const char* names[] = {"cbCr", "cbRen", "cbDel", "cbCrFile", "cbRenFile", "cbDelFile",
                                  "cbDelAll", "cbRenAll"};
    return names[int(c)];
}

// One click and what the window shows at that moment.
struct Click {
    Command command = Command::Cr;
    std::string folder;    // the open folder, relative to the root
    std::string selected;  // the selected file's name, empty for none
    std::string name;      // the name box
    bool justDelete = false;
    std::vector<bool> answers;  // the user's answers to the Trash questions; missing ones are yes

    std::string describe() const
    {
        return std::string(nameOf(command)) + " in " + State::quoted(folder) + ", selected " +
               State::quoted(selected) + ", name " + State::quoted(name) +
               (justDelete ? ", Just Delete" : ", to the Trash");
    }
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

constexpr std::size_t nameMax = 255;

// Where a path typed below a folder ends up: the new entry's relative path, or nothing when
// the file system refuses it (a missing or non-folder parent, a taken or too long name).
inline std::optional<std::string> resolveNew(const State& s, std::string folder, std::string name,
                                             bool makesFolder)
{
    if (makesFolder)
        while (name.size() > 1 && name.back() == '/')
            name.pop_back();
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const auto slash = name.find('/', start);
        parts.push_back(name.substr(start, slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part.empty() || part == ".")
            continue;
        if (part.size() > nameMax)
            return std::nullopt;
        if (part == "..") {
            folder = State::parentOf(folder);
            continue;
        }
        folder = State::join(folder, part);
        if (!s.isDir(folder))
            return std::nullopt;
    }
    const std::string& last = parts.back();
    if (last.empty() || last == "." || last == ".." || last.size() > nameMax)
        return std::nullopt;
    const std::string target = State::join(folder, last);
    if (s.find(target))
        return std::nullopt;
    return target;
}

inline bool isOneElement(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name.size() <= nameMax;
}

// What the click is to do to the state. folderReplaced: another program has put another folder
// at the click's path since the window read the folder it shows.
inline Outcome predict(const State& before, const Click& c, bool folderReplaced = false)
{
    Outcome out;
    const Refreshes none, tree{"tree"}, files{"files"}, both{"tree", "files"};
    auto add = [&](const State& s, const Refreshes& r) { out.possible.push_back({s, r}); };
    const bool folderExists = before.isDir(c.folder) && !c.folder.empty();
    auto throwsNow = [&] {
        out.throws = true;
        add(before, none);
        return out;
    };
    // The command's lookup of its folder fails when the path names nothing, or another folder
    // than the one the window shows.
    const bool lookupFails = !folderExists || folderReplaced;
    auto failsAtLookup = [&] {
        out.replaced = folderExists;
        return throwsNow();
    };
    switch (c.command) {
    case Command::Cr:
    case Command::CrFile: {
        const bool isFolder = c.command == Command::Cr;
        const Refreshes& after = isFolder ? both : files;
        if (c.name.empty()) {
            add(before, isFolder ? both : none);
            return out;
        }
        if (lookupFails)
            return failsAtLookup();
        add(before, isFolder ? both : none);
        if (c.name.find('\0') != std::string::npos)
            return out;
        if (auto target = resolveNew(before, c.folder, c.name, isFolder)) {
            State s = before;
            s.disk[*target] = Entry{isFolder ? Entry::Dir : Entry::File, "", false};
            add(s, after);
        }
        return out;
    }
    case Command::Ren: {
        if (c.name.empty()) {
            add(before, tree);
            return out;
        }
        if (lookupFails)
            return failsAtLookup();
        add(before, tree);
        const std::string to = State::join(State::parentOf(c.folder), c.name);
        if (isOneElement(c.name) && c.name != State::nameOf(c.folder) && !before.find(to)) {
            State s = before;
            s.move(c.folder, to);
            add(s, tree);
        }
        return out;
    }
    case Command::Del: {
        if (lookupFails)
            return failsAtLookup();
        add(before, both);
        State s = before;
        s.erase(c.folder);
        add(s, both);
        out.looseFolder = c.folder;
        return out;
    }
    case Command::RenFile:
    case Command::DelFile: {
        if (lookupFails)
            return failsAtLookup();
        const bool rename = c.command == Command::RenFile;
        if (rename && c.name.empty()) {
            add(before, none);
            return out;
        }
        if (c.selected.empty())
            return throwsNow();
        const std::string from = State::join(c.folder, c.selected);
        const Entry* file = before.find(from);
        if (!rename && !c.justDelete) {  // the shell is handed the path, whatever it names
            add(before, files);
            if (file && (c.answers.empty() || c.answers[0])) {
                State s = before;
                s.trash.insert(trashKey(*file));
                s.erase(from);
                add(s, files);
            }
            return out;
        }
        if (!file || file->kind == Entry::Dir)
            return throwsNow();
        if (!rename) {
            if (file->readOnly)
                return throwsNow();
            State s = before;
            s.erase(from);
            add(s, files);
            return out;
        }
        add(before, none);
        const std::string to = State::join(c.folder, c.name);
        if (c.name == c.selected) {
            add(before, files);
        } else if (isOneElement(c.name) && !before.find(to)) {
            State s = before;
            s.move(from, to);
            add(s, files);
        }
        return out;
    }
    case Command::DelAll:
    case Command::RenAll: {
        if (lookupFails)
            return failsAtLookup();
        const bool rename = c.command == Command::RenAll;
        State s = before;
        Refreshes r = rename ? none : files;
        add(s, r);
        if (rename && c.name.empty())
            return out;
        std::size_t pass = 0;
        for (const fs::path& name : before.filesIn(c.folder)) {
            ++pass;
            const std::string from = State::join(c.folder, name.native());
            const Entry file = *s.find(from);
            if (rename) {
                const std::string newName = c.name + std::to_string(pass);
                const std::string to = State::join(c.folder, newName);
                if (newName == name.native()) {
                    r.push_back("files");
                    add(s, r);
                    continue;
                }
                if (!isOneElement(newName) || s.find(to))
                    break;
                s.move(from, to);
                r.push_back("files");
            } else if (c.justDelete) {
                if (file.readOnly)
                    break;
                s.erase(from);
            } else {
                if (pass <= c.answers.size() && !c.answers[pass - 1])
                    continue;
                s.trash.insert(trashKey(file));
                s.erase(from);
            }
            add(s, r);
        }
        return out;
    }
    }
    return out;
}

// Runs one click over the tree below root, as the window would: a failure that leaves the
// click procedure is caught and shown, and the window stays open.
struct Result {
    bool threw = false;
    bool replaced = false;  // the error was FolderReplaced
    std::string error;
    Refreshes refreshes;
};

// The identity is what the window read as its folder; unset, whatever the path names when a
// command asks.
inline Result click(const Click& c, const fs::path& root, const fs::path& trash,
                    std::optional<commands::FolderIdentity> identity = std::nullopt)
{
    FakeWindow window;
    window.folder = c.folder.empty() ? root : fs::path(root.native() + "/" + c.folder);
    window.selected = c.selected;
    window.name = c.name;
    window.justDelete = c.justDelete;
    window.identity = identity;
    RecordingShell shell(trash);
    shell.answers = c.answers;
    commands::CommandFrame frame(window, shell);
    Result run;
    using Procedure = void (commands::CommandFrame::*)();
    static const Procedure procedures[] = {
        &commands::CommandFrame::cbCr_Click,      &commands::CommandFrame::cbRen_Click,
        &commands::CommandFrame::cbDel_Click,     &commands::CommandFrame::cbCrFile_Click,
        &commands::CommandFrame::cbRenFile_Click, &commands::CommandFrame::cbDelFile_Click,
        &commands::CommandFrame::cbDelAll_Click,  &commands::CommandFrame::cbRenAll_Click};
    try {
        frame.Run(procedures[int(c.command)]);
    } catch (const commands::FolderReplaced& e) {
        run.threw = run.replaced = true;
        run.error = e.what();
    } catch (const std::exception& e) {
        run.threw = true;
        run.error = e.what();
    }
    run.refreshes = window.refreshes;
    return run;
}

// True when `after` may follow a folder delete of `folder` from `before`: nothing outside it
// changed, and what is left inside is as it was.
inline bool partlyDeleted(const State& before, const State& after, const std::string& folder)
{
    if (before.trash != after.trash)
        return false;
    for (const auto& [rel, e] : after.disk) {
        const Entry* was = before.find(rel);
        if (!was || !(*was == e))
            return false;
    }
    for (const auto& [rel, e] : before.disk)
        if (!State::within(rel, folder) && !after.find(rel))
            return false;
    return true;
}

// Checks the disk after a click. Strict: it must be the state that the click makes without
// faults. Otherwise: any state that the outcome allows. Returns the explanation of a mismatch,
// or nothing when the disk is as it may be.
inline std::optional<std::string> judge(const State& before, const Outcome& outcome, const Result& run,
                                        const State& after, bool strict)
{
    std::ostringstream why;
    if (run.threw) {
        if (strict && !outcome.throws)
            why << "the click failed outside its trap: " << run.error << "\n";
        // A fault may fail the lookup before the identities are compared, never the other way.
        if (run.replaced && !outcome.replaced)
            why << "the click saw another folder where the window's is: " << run.error << "\n";
        if (strict && outcome.replaced && !run.replaced)
            why << "the click was to fail with FolderReplaced, not: " << run.error << "\n";
        if (!(after == before))
            why << "a click that failed changed the disk\n";
        if (!run.refreshes.empty())
            why << "a click that failed refreshed a list\n";
    } else {
        if (outcome.throws)
            why << "the click was to fail outside its trap but did not\n";
        bool matched = false;
        const auto& possible = outcome.possible;
        for (std::size_t i = strict ? possible.size() - 1 : 0; i < possible.size(); ++i)
            matched = matched || (possible[i].state == after && possible[i].refreshes == run.refreshes);
        if (!matched && outcome.looseFolder) {
            const std::string& f = *outcome.looseFolder;
            bool readOnlyInside = false;
            for (const auto& [rel, e] : before.disk)
                readOnlyInside = readOnlyInside || (State::within(rel, f) && e.readOnly);
            const bool keptReadOnly = [&] {
                for (const auto& [rel, e] : before.disk)
                    if (State::within(rel, f) && e.readOnly && !after.find(rel))
                        return false;
                return true;
            }();
            matched = partlyDeleted(before, after, f) && keptReadOnly &&
                      (!strict || readOnlyInside) && run.refreshes == Refreshes{"tree", "files"};
        }
        if (!matched) {
            why << "the disk or the refreshes are not what the click may leave\n  refreshes:";
            for (const auto& r : run.refreshes)
                why << " " << r;
            why << "\n  expected (without faults):\n" << possible.back().state.describe() << "\n";
        }
    }
    if (why.str().empty())
        return std::nullopt;
    why << "  before:\n" << before.describe() << "\n  after:\n" << after.describe();
    return why.str();
}

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

// The picture by path (as scan makes it, with the trash at root/trash) and the entries by
// inode, from one walk over the root.
struct Snapshot {
    State state;
    Whereabouts places;
};

inline Snapshot snapshot(const fs::path& root)
{
    Snapshot taken;
    const std::string prefix = root.native() + "/";
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string rel = it->path().native().substr(prefix.size());
        const Entry entry = entryOnDisk(it->path());
        if (State::parentOf(rel) == "trash")
            taken.state.trash.insert(trashKey(entry));
        else if (!State::within(rel, "trash"))
            taken.state.disk[rel] = entry;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) == 0)
            taken.places[st.st_ino] = {rel, entry};
    }
    return taken;
}

// A typed name that leads out of the folder it is typed in.
inline bool climbsOut(const std::string& name)
{
    return ("/" + name + "/").find("/../") != std::string::npos;
}

// Checks a click against the folder that the window read (`shown`), found by its inode
// wherever it is now. The click may act only when its path names that folder, and then it
// changes nothing outside it but the folder's own name (Rename) or existence (Delete), the
// trash, and a new entry that a typed ".." puts beside it. No entry changes its bytes, and
// nothing is lost but what the click deletes on purpose. Returns what broke these rules.
inline std::optional<std::string> judgeByIdentity(const Click& c,
                                                  const commands::FolderIdentity& shown,
                                                  const Whereabouts& before,
                                                  const Whereabouts& after)
{
    const auto shownBefore = before.find(ino_t(shown.file));
    const bool acts = shownBefore != before.end() && shownBefore->second.rel == c.folder;
    const std::string& home = c.folder;
    const auto shownAfter = after.find(ino_t(shown.file));
    const std::optional<std::string> now =
        shownAfter == after.end() ? std::nullopt : std::optional(shownAfter->second.rel);
    auto does = [&](std::initializer_list<Command> commands) {
        return acts && std::find(commands.begin(), commands.end(), c.command) != commands.end();
    };
    const bool deletesFiles = does({Command::DelFile, Command::DelAll});
    const bool renamesFiles = does({Command::RenFile, Command::RenAll});

    std::ostringstream why;
    for (const auto& [inode, was] : before) {
        const auto found = after.find(inode);
        if (found != after.end() && !(found->second.entry == was.entry))
            why << "  changed in place: " << State::quoted(was.rel) << "\n";
        if (acts && inode == shownBefore->first) {
            const bool renamed = now && *now != home;
            const bool inItsParent = now && State::parentOf(*now) == State::parentOf(home);
            if ((!now && !does({Command::Del})) ||
                (renamed && (!does({Command::Ren}) || !inItsParent)))
                why << "  the window's folder went from " << State::quoted(home) << "\n";
            continue;
        }
        const bool inside = acts && State::within(was.rel, home);
        const bool fileOfIt =
            inside && State::parentOf(was.rel) == home && was.entry.kind != Entry::Dir;
        if (found == after.end()) {
            if (!(inside && does({Command::Del})) && !(deletesFiles && c.justDelete && fileOfIt))
                why << "  lost: " << State::quoted(was.rel) << "\n";
            continue;
        }
        const std::string& to = found->second.rel;
        if (to == was.rel)
            continue;
        const bool movedAlong = inside && now && to == *now + was.rel.substr(home.size());
        const bool renamedInIt = renamesFiles && fileOfIt && now && State::parentOf(to) == *now;
        const bool trashed = deletesFiles && !c.justDelete && fileOfIt && to.starts_with("trash/");
        if (!movedAlong && !renamedInIt && !trashed)
            why << "  moved: " << State::quoted(was.rel) << " to " << State::quoted(to) << "\n";
    }
    const bool creates = does({Command::Cr, Command::CrFile});
    int made = 0;
    for (const auto& [inode, is] : after)
        if (!before.contains(inode) &&
            (!creates || ++made > 1 || !(State::within(is.rel, home) || climbsOut(c.name))))
            why << "  new: " << State::quoted(is.rel) << "\n";
    if (why.str().empty())
        return std::nullopt;
    return (acts ? "changed outside the window's folder " + State::quoted(home) + ", or lost:\n"
                 : std::string("changed, though the path names another folder than the window's, "
                               "or none:\n")) +
           why.str();
}

// A whole number from the environment, or the fallback when it is not set.
inline long fromEnvironment(const char* name, long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

inline std::string euros(int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += "\xe2\x82\xac";
    return s;
}

// Names that a user may type or find on disk, the awkward ones included.
inline const std::vector<std::string>& typedNames()
{
    static const std::vector<std::string> names{
        "new", "a", "b", "report.txt", "x1", "Data", "img2", "img10",
        "\xc3\xa9t\xc3\xa9",      // NFC
        "e\xcc\x81te\xcc\x81",    // the same word in NFD: other bytes, another name
        "", " ", ".", "..", "a/b", "sub/x", "../up", "x/", euros(85), euros(86), "line\nbreak",
        "-rf", "*?[", "trail ", "trail.", "caf\xe9", "\xff\xfe", std::string("nul\0byte", 8)};
    return names;
}

inline const std::vector<std::string>& diskNames()
{
    static const std::vector<std::string> names{
        "a", "b", "sub", "img2", "img10", "Notes.TXT", "-rf", "*?[", "trail ", "trail.", " ",
        "\n", "caf\xe9", "\xc3\xa9t\xc3\xa9", "e\xcc\x81te\xcc\x81", euros(85), ".hidden", "x1"};
    return names;
}

// A random tree and random clicks over it, from one seed.
class ModelRun {
public:
    ModelRun(const fs::path& root, unsigned seed) : root_(root), random_(seed)
    {
        fs::create_directory(root_ / "trash");
        fs::create_directory(root_ / "outside");
        for (const char* keep : {"keep1", "keep2"})
            std::ofstream(root_ / "outside" / keep) << "outside " << keep;
        fs::create_directory(root_ / "disk");
        rescan();
        grow();
    }

    fs::path trash() const { return root_ / "trash"; }

    // Adds a few random folders, files and links below disk, on disk and in the picture.
    void grow()
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
        rescan();
    }

    // The next random click. Before it the window may open another folder, and another program
    // may change the tree.
    Click next()
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
        if (!mayStay || below(2)) {
            const std::vector<std::string> folders = foldersBelowDisk(onFolderItself);
            open(folders.empty() || below(20) == 0 ? "disk/vanished" : pick(folders));
        }
        if (below(4) == 0)
            interfere();
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
        return c;
    }

    // Clicks and checks; false (with the failure recorded) when the disk is not as expected.
    // Strict: exactly as without faults. Otherwise any state that the click allows.
    bool step(const Click& c, bool strict = true)
    {
        const bool replaced = identityAt(c.folder).value_or(window_.identity) != window_.identity;
        const Outcome outcome = predict(state_, c, replaced);
        const Result run = click(c, root_, trash(), window_.identity);
        Snapshot after = snapshot(root_);
        auto why = judge(state_, outcome, run, after.state, strict);
        if (!why)
            why = judgeByIdentity(c, window_.identity, places_, after.places);
        if (why) {
            ADD_FAILURE() << interference_ << c.describe()
                          << (replaced ? ", its path naming another folder than the window's" : "")
                          << "\n" << *why;
            return false;
        }
        state_ = std::move(after.state);
        places_ = std::move(after.places);
        if (run.replaced) {
            ++replacedClicks_;
            open(window_.folder);  // the window re-reads the folder at its path, as it warns
        }
        return true;
    }

    const State& state() const { return state_; }
    // How many clicks found another folder at their path, and said so.
    int replacedClicks() const { return replacedClicks_; }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    template <typename T>
    const T& pick(const std::vector<T>& items) { return items[below(int(items.size()))]; }

    // The window opens the folder at the path and remembers what it is; a path that names no
    // folder gets an identity that no folder has.
    void open(const std::string& folder)
    {
        interference_.clear();
        window_.folder = folder;
        window_.identity = identityAt(folder).value_or(commands::FolderIdentity{});
    }

    std::optional<commands::FolderIdentity> identityAt(const std::string& rel) const
    {
        struct stat st {};
        if (::stat(fullPath(rel).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return std::nullopt;
        return commands::FolderIdentity{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)};
    }

    void rescan()
    {
        Snapshot now = snapshot(root_);
        state_ = std::move(now.state);
        places_ = std::move(now.places);
    }

    std::string fullPath(const std::string& rel) const { return root_.native() + "/" + rel; }

    // Another program changes the tree: it moves an entry away, swaps a folder for a new one
    // with files of the same names, removes an entry, or moves another folder to the path of
    // the window's folder. The window's folder and its parent are its targets more often than
    // the rest; the folder disk itself stays.
    void interfere()
    {
        const std::string& shown = window_.folder;
        const int choice = below(3);
        const std::string target = choice == 0 ? anyEntryBelowDisk()
                                   : choice == 1 ? shown
                                                 : State::parentOf(shown);
        if (!target.starts_with("disk/") || !state_.find(target))
            return;
        switch (below(4)) {
        case 0: moveAway(target); break;
        case 1: replace(target); break;
        case 2: remove(target); break;
        case 3: putAnotherFolderAt(shown); break;
        }
        rescan();
    }

    // Renames the entry within its parent to a name of its own; returns where it went.
    std::string moveAway(const std::string& rel)
    {
        const std::string to =
            State::join(State::parentOf(rel), "moved " + std::to_string(++moves_));
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
    void replace(const std::string& rel)
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
        materialize(replica, root_);
        interference_ += "another program made a new " + State::quoted(rel) + "\n";
    }

    void remove(const std::string& rel)
    {
        std::error_code ignored;
        fs::remove_all(fullPath(rel), ignored);
        interference_ += "another program removed " + State::quoted(rel) + "\n";
    }

    // Moves the window's folder away and another folder, not one around it, to its path.
    void putAnotherFolderAt(const std::string& shown)
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

    std::string anyEntryBelowDisk()
    {
        std::vector<std::string> entries;
        for (const auto& [rel, e] : state_.disk)
            if (rel.starts_with("disk/"))
                entries.push_back(rel);
        return entries.empty() ? std::string() : pick(entries);
    }

    std::vector<std::string> foldersBelowDisk(bool strictlyBelow) const
    {
        std::vector<std::string> folders;
        if (!strictlyBelow && state_.isDir("disk"))
            folders.push_back("disk");
        for (const auto& [rel, e] : state_.disk)
            if (e.kind == Entry::Dir && rel.starts_with("disk/"))
                folders.push_back(rel);
        return folders;
    }

    struct Window {
        std::string folder;  // relative to the root; empty before the first click
        commands::FolderIdentity identity;
    };

    fs::path root_;
    std::mt19937 random_;
    State state_;
    Whereabouts places_;  // the same entries by inode
    Window window_;
    int moves_ = 0;
    int replacedClicks_ = 0;
    std::string interference_;  // what another program did since the window read its folder
};

} // namespace model
