// What a click is to do to the picture: every state it may end in, and its refreshes.
#include "disk_model.h"

namespace model {

namespace {

constexpr std::size_t nameMax = 255;

// Where a path typed below a folder ends up: the new entry's relative path, or nothing when
// the file system refuses it (a missing or non-folder parent, a taken or too long name).
std::optional<std::string> resolveNew(const State& s, std::string folder, std::string name,
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

bool isOneElement(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name.size() <= nameMax;
}

// What the click is to do to the state. folderReplaced: another program has put another folder

} // namespace

Outcome predict(const State& before, const Click& c, bool folderReplaced)
{
    Outcome out;
    const Refreshes none, tree{"tree"}, files{"files"}, both{"tree", "files"};
    auto add = [&](const State& s, const Refreshes& r) { out.possible.push_back({s, r}); };
    // The state before with the entry at rel gone: deleted, or moved into the trash.
    auto without = [&](const std::string& rel, const Entry* trashed = nullptr) {
        State s = before;
        if (trashed)
            s.trash.insert(trashKey(*trashed));
        s.erase(rel);
        return s;
    };
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
        add(without(c.folder), both);
        out.looseFolder = c.folder;
        return out;
    }
    case Command::RenFile:
    case Command::DelFile: {
        const bool rename = c.command == Command::RenFile;
        if (lookupFails)
            return failsAtLookup();
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
            if (file && (c.answers.empty() || c.answers[0]))
                add(without(from, file), files);
            return out;
        }
        if (!file || file->kind == Entry::Dir)
            return throwsNow();
        if (!rename) {
            if (file->readOnly)
                return throwsNow();
            add(without(from), files);
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
            } else if (pass > c.answers.size() || c.answers[pass - 1]) {
                s.trash.insert(trashKey(file));
                s.erase(from);
            }
            add(s, r);
        }
        // Stopped before change k, the walk ends with the first k passes done.
        if (c.stopAt && *c.stopAt + 1 < out.possible.size())
            out.possible.resize(*c.stopAt + 1);
        return out;
    }
    }
    return out;
}

} // namespace model
