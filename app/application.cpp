#include "application.h"

#include <cstdio>
#include <exception>

namespace app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::SetFailureHandler(std::function<void(const QString&)> handler)
{
    handler_ = std::move(handler);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        Failed(QString::fromLocal8Bit(failure.what()));
    } catch (...) {
        Failed(QStringLiteral("unknown failure"));
    }
    return false;
}

void Application::Failed(const QString& what)
{
    if (handler_) {
        try {
            handler_(what);
            return;
        } catch (...) {
        }
    }
    std::fprintf(stderr, "ffname: %s\n", what.toLocal8Bit().constData());
}

} // namespace app
