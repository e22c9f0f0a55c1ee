// The disk after a click compared with what the click may leave: by path, and by what each
// entry is wherever it went.
#include "disk_model.h"

#include <algorithm>
#include <initializer_list>
#include <sstream>

namespace model {

namespace {

// True when `after` may follow a folder delete of `folder` from `before`: nothing outside it
// changed, and what is left inside is as it was.
bool partlyDeleted(const State& before, const State& after, const std::string& folder)
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

// A typed name that leads out of the folder it is typed in.
bool climbsOut(const std::string& name)
{
    return ("/" + name + "/").find("/../") != std::string::npos;
}

} // namespace

std::optional<std::string> judge(const State& before, const Outcome& outcome, const Result& run,
                                 const State& after, bool strict)
{
    std::ostringstream why;
    // A fault that makes the folder look gone from its path stops the click as a move of the
    // folder does, after the changes that it counts.
    const bool stoppedLoudly = !strict && run.replaced && !outcome.replaced;
    if (run.threw && !stoppedLoudly) {
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
            matched = matched || (possible[i].state == after &&
                                  (stoppedLoudly || possible[i].refreshes == run.refreshes));
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

std::optional<std::string> judgeByIdentity(const Click& c, const commands::FolderIdentity& shown,
                                           const Whereabouts& before, const Whereabouts& after)
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

} // namespace model
