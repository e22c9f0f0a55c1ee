// Random sequences of the eight commands over a random tree, checked after every click against
// the in-memory picture of the disk (disk_model.h). Seeded and reproducible:
//   FFNAME_MODEL_STEPS=N   clicks per seed (default 300)
//   FFNAME_MODEL_SEEDS=K   how many seeds, 1..K (default 3)
//   FFNAME_MODEL_SEED=S    run seed S only (to replay a failure that names its seed)
// A failure names the seed, the click number and the click.
#include "disk_model.h"

#include "sandbox.h"

#include <cstdlib>
#include <random>

namespace {

using namespace model;

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

// Names that a user may type or find on disk, the awkward ones included.
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

class ModelRun {
public:
    ModelRun(const fs::path& root, unsigned seed) : root_(root), random_(seed)
    {
        fs::create_directory(root_ / "trash");
        fs::create_directory(root_ / "outside");
        for (const char* keep : {"keep1", "keep2"})
            std::ofstream(root_ / "outside" / keep) << "outside " << keep;
        fs::create_directory(root_ / "disk");
        state_ = scan(root_, trash());
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
        state_.disk.merge(added.disk);
    }

    // The next random click.
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
        const std::vector<std::string> folders = foldersBelowDisk(onFolderItself);
        c.folder = folders.empty() || below(20) == 0 ? "disk/vanished" : pick(folders);
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
    bool step(const Click& c)
    {
        const Outcome outcome = predict(state_, c);
        const Result run = click(c, root_, trash());
        const State after = scan(root_, trash());
        if (auto why = judge(state_, outcome, run, after, true)) {
            ADD_FAILURE() << c.describe() << "\n" << *why;
            return false;
        }
        state_ = after;
        return true;
    }

    const State& state() const { return state_; }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    template <typename T>
    const T& pick(const std::vector<T>& items) { return items[below(int(items.size()))]; }

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

    fs::path root_;
    std::mt19937 random_;
    State state_;
};

class ModelTest : public Sandbox {};

TEST_F(ModelTest, RandomClicksChangeTheDiskOnlyAsTheCommandsSay)
{
    const long steps = fromEnvironment("FFNAME_MODEL_STEPS", 300);
    const long only = fromEnvironment("FFNAME_MODEL_SEED", 0);
    const long seeds = only ? 1 : fromEnvironment("FFNAME_MODEL_SEEDS", 3);
    for (long k = 0; k < seeds; ++k) {
        const unsigned seed = unsigned(only ? only : k + 1);
        SCOPED_TRACE("seed " + std::to_string(seed) + " (FFNAME_MODEL_SEED=" +
                     std::to_string(seed) + " replays it)");
        const fs::path root = at("seed" + std::to_string(seed));
        fs::create_directory(root);
        ModelRun run(root, seed);
        for (long i = 0; i < steps; ++i) {
            const Click c = run.next();
            SCOPED_TRACE("click " + std::to_string(i + 1));
            if (!run.step(c))
                return;
            if (i % 25 == 24 || run.state().disk.size() < 8)
                run.grow();
        }
    }
}

// ---- Bad names, typed: each works with exactly those bytes or changes nothing.

struct TypedName {
    std::string name;
    bool makesFile;  // whether Create on the File page makes a file of exactly this name
};

class TypedNameTest : public Sandbox, public ::testing::WithParamInterface<TypedName> {};

TEST_P(TypedNameTest, WorksWithExactlyTheseBytesOrChangesNothing)
{
    const TypedName& row = GetParam();
    for (Command command : {Command::Cr, Command::CrFile, Command::Ren, Command::RenFile,
                            Command::RenAll}) {
        SCOPED_TRACE(nameOf(command));
        const fs::path root = at(nameOf(command));
        fs::create_directories(root / "trash");
        State start;
        start.disk = {{"disk", folderEntry()}, {"disk/cur", folderEntry()},
                      {"disk/cur/sub", folderEntry()}, {"disk/cur/one", fileEntry("1")},
                      {"disk/cur/two", fileEntry("2")}};
        materialize(start, root);
        const State before = scan(root, root / "trash");
        Click c{command, "disk/cur", "one", row.name, false, {}};
        const Outcome outcome = predict(before, c);
        const Result run = click(c, root, root / "trash");
        const State after = scan(root, root / "trash");
        if (auto why = judge(before, outcome, run, after, true))
            ADD_FAILURE() << c.describe() << "\n" << *why;
        if (command == Command::CrFile) {
            const std::string made = "disk/cur/" + row.name;
            EXPECT_EQ(after.find(made) != nullptr && !before.find(made), row.makesFile);
            EXPECT_EQ(after.disk.size(), before.disk.size() + (row.makesFile ? 1 : 0));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, TypedNameTest,
    ::testing::Values(TypedName{"", false}, TypedName{" ", true}, TypedName{".", false},
                      TypedName{"..", false}, TypedName{"a/b", false},
                      TypedName{"sub/b", true},  // in the existing subfolder
                      TypedName{euros(85), true}, TypedName{euros(86), false},
                      TypedName{"line\nbreak", true}, TypedName{"-rf", true},
                      TypedName{"*?[", true}, TypedName{"trail ", true},
                      TypedName{"trail.", true}, TypedName{"caf\xe9", true},
                      TypedName{"\xc3\xa9t\xc3\xa9", true}, TypedName{"e\xcc\x81te\xcc\x81", true},
                      TypedName{"one", false},  // taken: the file keeps its contents
                      TypedName{"x/", false}, TypedName{std::string("nul\0byte", 8), false}));

// ---- Bad names found on disk: every command handles exactly that entry.

class DiskNameTest : public Sandbox, public ::testing::WithParamInterface<std::string> {};

TEST_P(DiskNameTest, EveryCommandActsOnExactlyThatEntry)
{
    const std::string& odd = GetParam();
    for (Command command : allCommands) {
        for (bool justDelete : {true, false}) {
            if (justDelete && command != Command::DelFile && command != Command::DelAll)
                continue;
            SCOPED_TRACE(std::string(nameOf(command)) + (justDelete ? " just delete" : ""));
            const fs::path root = at(std::string(nameOf(command)) + (justDelete ? "-j" : ""));
            fs::create_directories(root / "trash");
            State start;
            start.disk = {{"disk", folderEntry()}, {"disk/" + odd, folderEntry()},
                          {"disk/" + odd + "/" + odd, fileEntry("odd file")},
                          {"disk/" + odd + "/" + odd + "1", fileEntry("other")},
                          {"disk/" + odd + "/z", fileEntry("z")}};
            materialize(start, root);
            const State before = scan(root, root / "trash");
            Click c{command, "disk/" + odd, odd, "renamed", justDelete, {}};
            const Outcome outcome = predict(before, c);
            const Result run = click(c, root, root / "trash");
            const State after = scan(root, root / "trash");
            if (auto why = judge(before, outcome, run, after, true))
                ADD_FAILURE() << c.describe() << "\n" << *why;
            EXPECT_FALSE(run.threw) << run.error;
            EXPECT_NE(after, before);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Names, DiskNameTest,
                         ::testing::Values(" ", "\n", "-rf", "*?[", "trail ", "trail.", "caf\xe9",
                                           "\xff", "\xc3\xa9t\xc3\xa9", "e\xcc\x81te\xcc\x81",
                                           euros(84), ".hidden"));

} // namespace
