#include "start_child.h"

#include "contenders.h"
#include "bare_limits.h"
#include "captions.h"
#include "layout.h"

#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

namespace bench {

namespace {

constexpr const char* startNames[] = {"real", "bare", "floor"};

long PeakRssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// A control of the layout table's kind, with its start caption where it shows one.
QWidget* BareControl(app::ControlKind kind, const QString& caption, QWidget* container)
{
    using Kind = app::ControlKind;
    if (kind == Kind::DriveList)
        return new QComboBox(container);
    if (kind == Kind::FolderTree || kind == Kind::FileList)
        return new QListView(container);
    if (kind == Kind::TextBox)
        return new QLineEdit(container);
    if (kind == Kind::Label)
        return new QLabel(caption, container);
    if (kind == Kind::Frame)
        return new QGroupBox(caption, container);
    if (kind == Kind::Option)
        return new QRadioButton(caption, container);
    if (kind == Kind::Button)
        return new QPushButton(caption, container);
    auto* tabs = new QTabBar(container);
    for (const char* tab : {"Folder", "File", "All Files"})
        tabs->addTab(QString::fromUtf8(tab));
    return tabs;
}

// A bare window of the window's layout table: the same kinds of controls, places and fonts,
// for start-up and memory: what any window of this layout costs, with no drives or folders read.
std::unique_ptr<QWidget> BareWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setFont(app::WindowFont());
    window->setFixedSize(app::TwipsToPixels(app::windowWidthTwips, window->logicalDpiX()),
                         app::TwipsToPixels(app::windowHeightTwips, window->logicalDpiY()));
    for (const app::ControlLayout& row : app::windowLayout) {
        QWidget* container =
            row.container ? window->findChild<QWidget*>(QLatin1String(row.container)) : window.get();
        QWidget* control =
            BareControl(row.kind, QString::fromUtf8(app::StartCaption(row.name)), container);
        control->setObjectName(QLatin1String(row.name));
        control->setGeometry(app::TwipsToPixels(row, window->logicalDpiX(), window->logicalDpiY()));
        if (row.font != app::ControlFont::Default)
            control->setFont(app::LayoutFont(row.font, window->font()));
    }
    return window;
}

// The entries that the window's lists show.
long Listed(const QWidget& window)
{
    long listed = 0;
    for (const char* list : {"DirFiles", "DirFolder"})
        if (auto* view = window.findChild<QAbstractItemView*>(list); view && view->model())
            listed += view->model()->rowCount();
    return listed;
}

} // namespace

int Child(int argc, char** argv, Start kind, long long startNs)
{
    QApplication application(argc, argv);
    std::optional<driver::WindowDriver> program;
    std::unique_ptr<QWidget> bare;
    QWidget* window = nullptr;
    if (kind == Start::real) {
        program.emplace([](const std::string& what) { qWarning("%s", what.c_str()); });
        program->Start();
        window = &program->window();
    } else {
        if (kind == Start::floor)
            ListAndSort(".");
        bare = BareWindow();
        window = bare.get();
        window->show();
    }
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("the window was not shown");
    QCoreApplication::processEvents();
    const long listed = Listed(*window);
    QCoreApplication::processEvents();
    const long long nowNs = NowNs();
    std::printf("%.2f %ld %ld\n", (nowNs - startNs) / 1e6, PeakRssKb(), listed);
    return 0;
}

ChildResult RunChild(const fs::path& folder, Start kind)
{
    QProcess child;
    child.setWorkingDirectory(QString::fromStdString(folder.string()));
    child.start(QCoreApplication::applicationFilePath(),
                {"--child", startNames[static_cast<int>(kind)], QString::number(NowNs())});
    child.waitForFinished(300000);
    ChildResult result;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld %ld", &result.ms,
                &result.rssKb, &result.listed);
    return result;
}

} // namespace bench
