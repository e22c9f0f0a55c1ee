// The window suites share one application object, with the program's net for failures. The
// Trash they could reach is a scratch one.
#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include "application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char* argv[])
{
    testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    // The shell's Trash under Wine is the one of the XDG_DATA_HOME that the run sets.
    app::Application application(argc, argv);
    return RUN_ALL_TESTS();
#else
    QTemporaryDir dataHome(QDir::tempPath() + QStringLiteral("/ffname-window-tests-XXXXXX"));
    if (!dataHome.isValid())
        return 1;
    setenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()).constData(), 1);
    app::Application application(argc, argv);
    const int result = RUN_ALL_TESTS();
    // Trashed names that are not UTF-8, which Qt cannot remove.
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(dataHome.path()).toStdString(), ignored);
    return result;
#endif
}
