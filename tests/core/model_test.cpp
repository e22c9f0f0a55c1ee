// Random sequences of the eight commands over a random tree, checked after every click against
// the in-memory picture of the disk (disk_model.h). Between clicks another program moves, swaps
// and removes entries, the window's own folder and its parent among them; the window holds its
// folder and follows it as the real one does, and every click is also checked against that
// folder wherever it is now. After a command, Ctrl+Z must bring the disk back to what it was
// before it, and Ctrl+Shift+Z to what it was after.
// Seeded and reproducible:
//   FFNAME_MODEL_STEPS=N   clicks per seed (default 300)
//   FFNAME_MODEL_SEEDS=K   how many seeds, 1..K (default 3)
//   FFNAME_MODEL_SEED=S    run seed S only (to replay a failure that names its seed)
// A failure names the seed, the click number and the click.
#include "disk_model.h"

#include "row_name.h"
#include "sandbox.h"

#include <cstdlib>
#include <random>
#include <tuple>

namespace {

using namespace model;

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
            SCOPED_TRACE("click " + std::to_string(i + 1));
            const Click c = run.next();
            if (!run.step(c) || !run.undoOrRedo())
                return;
            if (i % 25 == 24 || run.state().disk.size() < 8)
                run.grow();
        }
        // Some clicks must have met a swapped folder, or the model no longer tries any.
        if (steps >= 100) {
            EXPECT_GT(run.replacedClicks(), 0);
            EXPECT_GT(run.undone(), 0);
            EXPECT_GT(run.redone(), 0);
        }
    }
}

// Makes the tree below a fresh root, clicks once, and checks the disk strictly against the
// picture: the state before and after, and how the click ended.
std::tuple<State, State, Result> clickOnce(const fs::path& root, const State& start, const Click& c)
{
    fs::create_directories(root / "trash");
    materialize(start, root);
    const State before = scan(root);
    const Result run = click(c, root, root / "trash");
    const State after = scan(root);
    if (auto why = judge(before, predict(before, c), run, after, true))
        ADD_FAILURE() << c.describe() << "\n" << *why;
    return {before, after, run};
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
        State start;
        start.disk = {{"disk", folderEntry()}, {"disk/cur", folderEntry()},
                      {"disk/cur/sub", folderEntry()}, {"disk/cur/one", fileEntry("1")},
                      {"disk/cur/two", fileEntry("2")}};
        const auto [before, after, run] = clickOnce(
            at(nameOf(command)), start, Click{command, "disk/cur", "one", row.name, false, {}});
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
                      TypedName{"x/", false}, TypedName{std::string("nul\0byte", 8), false}),
    [](const auto& row) { return RowName(row.index, row.param.name); });

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
            State start;
            start.disk = {{"disk", folderEntry()}, {"disk/" + odd, folderEntry()},
                          {"disk/" + odd + "/" + odd, fileEntry("odd file")},
                          {"disk/" + odd + "/" + odd + "1", fileEntry("other")},
                          {"disk/" + odd + "/z", fileEntry("z")}};
            const auto [before, after, run] =
                clickOnce(at(std::string(nameOf(command)) + (justDelete ? "-j" : "")), start,
                          Click{command, "disk/" + odd, odd, "renamed", justDelete, {}});
            EXPECT_FALSE(run.threw) << run.error;
            EXPECT_NE(after, before);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Names, DiskNameTest,
                         ::testing::Values(" ", "\n", "-rf", "*?[", "trail ", "trail.", "caf\xe9",
                                           "\xff", "\xc3\xa9t\xc3\xa9", "e\xcc\x81te\xcc\x81",
                                           euros(84), ".hidden"),
                         [](const auto& row) { return RowName(row.index, row.param); });

} // namespace
