#include "window_driver.h"

#include "command_button.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <algorithm>

namespace driver {

bool Eventually(const std::function<bool()>& condition, int milliseconds)
{
    return QTest::qWaitFor(condition, milliseconds);
}

AtTurn::AtTurn(std::function<bool()> due, std::function<void()> act)
{
    connect(&timer_, &QTimer::timeout, this, [this, due, act] {
        if (due()) {
            timer_.stop();
            act();
        }
    });
    timer_.start(0);
}

void WindowDriver::Start(bool turnEveryChange)
{
    window_ = app::MakeDesktopWindow();
    if (turnEveryChange)
        window_->WalkProgress().SetTiming({}, {});
    window_->show();
}

void WindowDriver::Settle()
{
    if (!QTest::qWaitForWindowExposed(window_.get()))
        complain_("the window was not shown");
    QCoreApplication::processEvents();
}

void WindowDriver::Close()
{
    window_.reset();
}

void WindowDriver::CloseThroughWindowSystem()
{
    SendCloseRequest(window());
    if (!Eventually([this] { return window().WalkProgress().Stopped(); }))
        complain_("the window system's close request did not stop the command");
}

QProgressDialog* WindowDriver::progressDialog()
{
    auto* dialog = window_->findChild<QProgressDialog*>();
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

void WindowDriver::Click(const char* name)
{
    QAbstractButton* button = control<QAbstractButton>(name);
    if (!button)
        return;
    const auto& table = commands::commandButtons;
    if (std::any_of(table.begin(), table.end(),
                    [name](const auto& command) { return std::string_view(command.control) == name; })) {
        const QStringList pages{"FrameFolder", "FrameFile", "FrameAllFiles"};
        ClickTab(int(pages.indexOf(button->parentWidget()->objectName())) + 1);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    } else if (qobject_cast<QRadioButton*>(button)) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    } else {
        complain_(std::string(name) + " is neither a command button nor an option");
    }
}

void WindowDriver::DoubleClick(const char* name)
{
    QAbstractButton* button = control<QAbstractButton>(name);
    const QPointF at = button->rect().center();
    const auto send = [&](QEvent::Type type, quint64 time) {
        QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        event.setTimestamp(time);
        QApplication::sendEvent(button, &event);
    };
    const quint64 start = 1'000'000'000;
    send(QEvent::MouseButtonPress, start);
    send(QEvent::MouseButtonRelease, start + 60);
    send(QEvent::MouseButtonPress, start + 150);
    send(QEvent::MouseButtonDblClick, start + 150);
    send(QEvent::MouseButtonRelease, start + 210);
}

void WindowDriver::TypeName(const QString& text)
{
    auto* box = control<QLineEdit>("txtName");
    box->clear();
    QTest::keyClicks(box, text);
}

void WindowDriver::ClickTab(int tab)
{
    QTabBar* tabs = control<QTabBar>("TabStrip1");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
}

QStringList WindowDriver::TreeTexts()
{
    QStringList texts;
    QAbstractItemModel* model = tree().model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

int WindowDriver::TreeRow(const QString& text) { return int(TreeTexts().indexOf(text)); }

void WindowDriver::OpenInTree(const QString& text)
{
    const int row = TreeRow(text);
    if (row < 0)
        return complain_("the tree does not show " + text.toStdString());
    app::FolderTree& view = tree();
    const QModelIndex index = view.model()->index(row, 0);
    view.scrollTo(index);
    const QPoint at = view.visualRect(index).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);  // a double click begins with a press
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
}

} // namespace driver
