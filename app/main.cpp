#include "application.h"
#include "desktop_shell.h"

int main(int argc, char* argv[])
{
    app::Application application(argc, argv);
    const std::unique_ptr<app::MainWindow> window = app::MakeDesktopWindow();
    window->show();
    return application.exec();
}
