#include "desktop_shell.h"

#include <QtWidgets/QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const app::DesktopWindow desktop = app::MakeDesktopWindow();
    desktop.window->show();
    return application.exec();
}
