// The folder paths that the tree and the drive list compute, given a path.
#include "folder_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using std::filesystem::path;

struct NormalRow {
    const char* name;
    path given;
    path normal;
};

class NormalFolderTest : public testing::TestWithParam<NormalRow> {};

TEST_P(NormalFolderTest, WritesTheFolderTheTreeShows)
{
    EXPECT_EQ(app::NormalFolder(GetParam().given).native(), GetParam().normal.native());
}

const NormalRow normalRows[] = {
#ifdef _WIN32
    {"DriveRoot", L"C:\\", L"C:\\"},
    {"DriveRootWithSlash", L"C:/", L"C:\\"},
    {"FolderOnDrive", L"C:\\Data", L"C:\\Data"},
    {"TrailingSeparatorDropped", L"C:\\Data\\", L"C:\\Data"},
    {"ForwardSlashesMadeBackslashes", L"C:/Data/Old", L"C:\\Data\\Old"},
    {"DotsResolved", L"C:\\Data\\.\\Old\\..", L"C:\\Data"},
    {"UpToTheDriveRoot", L"D:\\Data\\..", L"D:\\"},
    {"NonAnsiName", L"C:\\\u041e\u0442\u0447\u0451\u0442\\", L"C:\\\u041e\u0442\u0447\u0451\u0442"},
#else
    {"Root", "/", "/"},
    {"Folder", "/home/user", "/home/user"},
    {"TrailingSeparatorDropped", "/home/user/", "/home/user"},
    {"DoubledSeparators", "/home//user///", "/home/user"},
    {"DotsResolved", "/home/./user/docs/..", "/home/user"},
    {"UpToTheRoot", "/home/..", "/"},
    {"NoHigherThanTheRoot", "/../..", "/"},
    {"BytesKept", "/tmp/\xff\xfe name/", "/tmp/\xff\xfe name"},
#endif
};

INSTANTIATE_TEST_SUITE_P(Paths, NormalFolderTest, testing::ValuesIn(normalRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NormalFolder, RelativePathIsTakenFromTheWorkingDirectory)
{
    const path working = std::filesystem::current_path();
    EXPECT_EQ(app::NormalFolder("."), app::NormalFolder(working));
    EXPECT_EQ(app::NormalFolder(path("sub") / ""), app::NormalFolder(working / "sub"));
}

struct AncestorRow {
    const char* name;
    path folder;
    std::vector<path> ancestors;
};

class AncestorsTest : public testing::TestWithParam<AncestorRow> {};

TEST_P(AncestorsTest, RunFromTheRootDownToTheFolder)
{
    EXPECT_EQ(app::AncestorsOf(GetParam().folder), GetParam().ancestors);
}

const AncestorRow ancestorRows[] = {
#ifdef _WIN32
    {"DriveRoot", L"C:\\", {L"C:\\"}},
    {"FolderOnDrive", L"C:\\Data", {L"C:\\", L"C:\\Data"}},
    {"Deeper", L"D:\\Data\\Old\\2020", {L"D:\\", L"D:\\Data", L"D:\\Data\\Old", L"D:\\Data\\Old\\2020"}},
#else
    {"Root", "/", {"/"}},
    {"OneDown", "/home", {"/", "/home"}},
    {"Deeper", "/home/user/docs", {"/", "/home", "/home/user", "/home/user/docs"}},
#endif
};

INSTANTIATE_TEST_SUITE_P(Paths, AncestorsTest, testing::ValuesIn(ancestorRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ancestors, OnlyTheRootEndsInTheSeparator)
{
    for (const path& ancestor : app::AncestorsOf(app::NormalFolder(std::filesystem::current_path()))) {
        const bool isRoot = ancestor == ancestor.root_path();
        EXPECT_EQ(ancestor.native().back() == path::preferred_separator, isRoot) << ancestor;
    }
}

struct UnderRow {
    const char* name;
    path folder;
    path root;
    bool under;
};

class IsUnderTest : public testing::TestWithParam<UnderRow> {};

TEST_P(IsUnderTest, TellsWhetherTheVolumeHoldsTheFolder)
{
    EXPECT_EQ(app::IsUnder(GetParam().folder, GetParam().root), GetParam().under);
}

const UnderRow underRows[] = {
#ifdef _WIN32
    {"DriveRootItself", L"C:\\", L"C:\\", true},
    {"FolderOnTheDrive", L"C:\\Data", L"C:\\", true},
    {"OtherDrive", L"D:\\Data", L"C:\\", false},
    {"MountedFolder", L"C:\\Mnt\\Disk\\a", L"C:\\Mnt\\Disk", true},
    {"SiblingWithLongerName", L"C:\\Mnt\\Disk2", L"C:\\Mnt\\Disk", false},
#else
    {"RootItself", "/", "/", true},
    {"AnythingUnderRoot", "/home/user", "/", true},
    {"MountPathItself", "/media/usb", "/media/usb", true},
    {"BelowMountPath", "/media/usb/photos", "/media/usb", true},
    {"SiblingWithLongerName", "/media/usb2", "/media/usb", false},
    {"Parent", "/media", "/media/usb", false},
    {"Elsewhere", "/home", "/media/usb", false},
    {"NoRoot", "/home", "", false},
#endif
};

INSTANTIATE_TEST_SUITE_P(Paths, IsUnderTest, testing::ValuesIn(underRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
