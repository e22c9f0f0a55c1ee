#include "application.h"
#include "desktop_shell.h"

int main(int argc, char* argv[])
{
    app::Application application(argc, argv);
    const app::DesktopWindow desktop = app::MakeDesktopWindow();
    desktop.window->show();
    return application.exec();
}
