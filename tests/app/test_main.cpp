// The window suites share one application object, with the program's net for failures. The
// Trash they could reach is a scratch one: on Linux the XDG_DATA_HOME made here, under Wine the
// one of the XDG_DATA_HOME that the run sets.
#include "application.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

int main(int argc, char* argv[])
{
    testing::InitGoogleTest(&argc, argv);
    std::optional<scratch::ScratchFolder> dataHome;
#ifndef _WIN32
    dataHome.emplace(std::filesystem::temp_directory_path(), "ffname-window-tests-");
    setenv("XDG_DATA_HOME", dataHome->root().c_str(), 1);
#endif
    app::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
