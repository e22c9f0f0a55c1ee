#include "application.h"
#include "desktop_shell.h"

int main(int argc, char* argv[])
{
    app::Application application(argc, argv);
    const app::DesktopWindow desktop = app::MakeDesktopWindow();
    application.SetFailureHandler(
        [window = desktop.window.get()](const QString& what) { window->ShowUncaughtFailure(what); });
    desktop.window->show();
    return application.exec();
}
