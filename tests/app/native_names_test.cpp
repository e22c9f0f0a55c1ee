// Names as the window shows them, and the hidden entries it leaves out.
#include "error_text.h"
#include "hidden_names.h"
#include "path_text.h"
#include "warning_box.h"

#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#ifdef _WIN32
#include <windows.h>

#include "under_wine.h"
#endif

namespace {

using std::filesystem::path;

const QString cyrillic = QString::fromUtf8("\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82.txt");  // Отчёт

TEST(DisplayName, ShowsANonLatinNameAsItsCharacters)
{
#ifdef _WIN32
    const path name(L"\u041e\u0442\u0447\u0451\u0442.txt");
#else
    const path name("\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82.txt");
#endif
    EXPECT_EQ(app::DisplayName(name), cyrillic);
    EXPECT_EQ(app::NativePath(cyrillic), name);
}

TEST(DisplayName, ShowsAWholePathAsTheSystemWritesIt)
{
#ifdef _WIN32
    EXPECT_EQ(app::DisplayName(L"C:\\Data"), QStringLiteral("C:\\Data"));
    EXPECT_EQ(app::NativePath(QStringLiteral("C:/Data/Old")), path(L"C:\\Data\\Old"));
    EXPECT_EQ(app::NativePath(QStringLiteral("C:/")), path(L"C:\\"));
    EXPECT_EQ(app::NativePath(QStringLiteral("c:/data")), path(L"C:\\data"));
#else
    EXPECT_EQ(app::DisplayName("/home/user"), QStringLiteral("/home/user"));
    EXPECT_EQ(app::NativePath(QStringLiteral("/home/user")), path("/home/user"));
#endif
}

#ifndef _WIN32
TEST(DisplayName, ANameThatIsNotUtf8StillShowsItsReadableParts)
{
    const QString shown = app::DisplayName("caf\xe9.txt");
    EXPECT_TRUE(shown.startsWith(QStringLiteral("caf")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral(".txt")));
    EXPECT_FALSE(shown.contains(u'\0'));
}
#endif

class IsHiddenTest : public testing::Test {
protected:
    path Make(const path& name)
    {
        const path file = folder_ / name;
        std::ofstream(file).put('x');
        return name;
    }

    QTemporaryDir dir_;
    path folder_ = app::NativePath(dir_.path());
};

TEST_F(IsHiddenTest, AnOrdinaryNameIsShown)
{
    EXPECT_FALSE(commands::IsHidden(folder_, Make("notes.txt")));
    EXPECT_FALSE(commands::IsHidden(folder_, Make("a.b")));
}

#ifdef _WIN32
TEST_F(IsHiddenTest, TheHiddenAttributeHides)
{
    const path name = Make("secret.txt");
    ASSERT_TRUE(SetFileAttributesW((folder_ / name).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(commands::IsHidden(folder_, name));
    // A dot is only a name here; Wine, though, reports every dot file with the attribute.
    if (!RunsUnderWine()) {
        EXPECT_FALSE(commands::IsHidden(folder_, Make(".profile")));
    }
}
#else
TEST_F(IsHiddenTest, ALeadingDotHides)
{
    EXPECT_TRUE(commands::IsHidden(folder_, Make(".profile")));
    EXPECT_TRUE(commands::IsHidden(folder_, ".gone"));  // by name alone, whether or not it exists
    EXPECT_FALSE(commands::IsHidden(folder_, path()));
}
#endif

TEST(ErrorText, GivesTheSystemsWordsWithoutAFullStop)
{
#ifdef _WIN32
    const QString text = QString::fromStdString(commands::ErrorText(ERROR_FILE_NOT_FOUND));
#else
    const QString text = QString::fromStdString(commands::ErrorText(ENOENT));
    EXPECT_EQ(text, QStringLiteral("No such file or directory"));
#endif
    EXPECT_FALSE(text.isEmpty());
    EXPECT_FALSE(text.endsWith(u'.'));
    EXPECT_EQ(text, text.trimmed());
}

} // namespace
