// The picture of a tree: its paths, and reading it from and writing it to disk.
#include "disk_model.h"

#include "command_button.h"
#include "natural_order.h"
#include "scratch_folder.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace model {

using scratch::readFile;

const Entry* State::find(const std::string& rel) const
{
    const auto it = disk.find(rel);
    return it == disk.end() ? nullptr : &it->second;
}

bool State::isDir(const std::string& rel) const
{
    const Entry* e = find(rel);
    return rel.empty() || (e && e->kind == Entry::Dir);
}

std::vector<fs::path> State::filesIn(const std::string& folder) const
{
    std::vector<fs::path> names;
    for (const auto& [rel, entry] : disk)
        if (entry.kind != Entry::Dir && parentOf(rel) == folder)
            names.emplace_back(nameOf(rel));
    commands::SortNaturally(names);
    return names;
}

void State::move(const std::string& from, const std::string& to)
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

void State::erase(const std::string& folder)
{
    std::erase_if(disk, [&](const auto& item) { return within(item.first, folder); });
}

std::string State::describe() const
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

std::string State::parentOf(const std::string& rel)
{
    const auto slash = rel.rfind('/');
    return slash == std::string::npos ? std::string() : rel.substr(0, slash);
}

std::string State::nameOf(const std::string& rel) { return rel.substr(rel.rfind('/') + 1); }

std::string State::join(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + "/" + name;
}

bool State::within(const std::string& rel, const std::string& folder)
{
    return rel == folder || rel.starts_with(folder + "/");
}

std::string State::quoted(const std::string& bytes)
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

std::string trashKey(const Entry& e)
{
    return (e.kind == Entry::Link ? "link:" : "file:") + e.content;
}

namespace {

Entry entryOnDisk(const fs::path& path)
{
    const fs::file_status st = fs::symlink_status(path);
    Entry e;
    if (fs::is_symlink(st)) {
        e.kind = Entry::Link;
        e.content = fs::read_symlink(path).native();
    } else if (fs::is_directory(st)) {
        e.kind = Entry::Dir;
    } else {
        e.content = readFile(path);
        e.readOnly = (st.permissions() & fs::perms::owner_write) == fs::perms::none;
    }
    return e;
}

} // namespace

Snapshot snapshot(const fs::path& root)
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

void materialize(const State& state, const fs::path& root)
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

const char* nameOf(Command c)
{
    return commands::commandButtons[int(c)].control;
}

std::string Click::describe() const
{
    return std::string(nameOf(command)) + " in " + State::quoted(folder) + ", selected " +
           State::quoted(selected) + ", name " + State::quoted(name) +
           (justDelete ? ", Just Delete" : ", to the Trash") +
           (stopAt ? ", stopped before change " + std::to_string(*stopAt) : "");
}

} // namespace model
