#include "mainwindow.h"
#include "trash_shell.h"

#include <QtWidgets/QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    app::TrashShell shell;
    app::MainWindow window(shell);
    shell.attach(&window, [&window] { return window.RussianShown(); });
    window.show();
    return application.exec();
}
