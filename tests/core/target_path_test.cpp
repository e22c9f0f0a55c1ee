#include "target_path.h"

#include "row_name.h"

#include <gtest/gtest.h>

using commands::TargetPath;

namespace {

struct Row {
    const char* folder;
    const char* name;
    bool root;
    const char* target;
};

// Short values in failure messages.
void PrintTo(const Row& row, std::ostream* out) { *out << row.folder << " + " << row.name; }

class TargetPathTest : public ::testing::TestWithParam<Row> {};

std::string RowNamed(const ::testing::TestParamInfo<Row>& row)
{
    return RowName(row.index, row.param.folder, row.param.name);
}

TEST_P(TargetPathTest, ComposesFolderAndName)
{
    const Row& row = GetParam();
    EXPECT_EQ(TargetPath(row.folder, row.name, row.root).native(),
              std::filesystem::path(row.target).native());
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(
    Rule, TargetPathTest,
    ::testing::Values(Row{"C:\\", "Data", true, "C:\\Data"},
                      Row{"C:\\Data", "New", false, "C:\\Data\\New"},
                      Row{"C:\\Data", "two words ", false, "C:\\Data\\two words "},
                      Row{"C:\\Data", "a\\b", false, "C:\\Data\\a\\b"}),
    RowNamed);
#else
INSTANTIATE_TEST_SUITE_P(
    Rule, TargetPathTest,
    ::testing::Values(Row{"/", "Data", true, "/Data"},  // no doubled separator at the root
                      Row{"/home/u", "Data", false, "/home/u/Data"},
                      Row{"/home/u", " ", false, "/home/u/ "},
                      Row{"/home/u", "two words ", false, "/home/u/two words "},
                      Row{"/home/u", "a/b", false, "/home/u/a/b"},  // handed on unchanged
                      Row{"/home/u", "/etc", false, "/home/u//etc"},  // never replaces the folder
                      Row{"/", "..", true, "/.."}),
    RowNamed);
#endif

} // namespace
