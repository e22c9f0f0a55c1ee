#include "application.h"
#include "desktop_shell.h"
#include "platform_start.h"

int main(int argc, char* argv[])
{
    // Without a display the application object cannot be made: the program then says so in
    // one line and ends with status 1.
    app::HoldPlatformMessages();
    app::Application application(argc, argv);
    app::ReleasePlatformMessages();
    const std::unique_ptr<app::MainWindow> window = app::MakeDesktopWindow();
    window->show();
    return application.exec();
}
