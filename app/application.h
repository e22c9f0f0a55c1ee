#pragma once

#include <QtWidgets/QApplication>

#include <functional>

namespace app {

// The application object, with one net under every event: a failure that no event procedure
// caught is handed to the failure handler instead of ending the program.
class Application final : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    Q_DISABLE_COPY_MOVE(Application)

    // Who shows a failure caught by the net; without one it is written to the error output.
    void SetFailureHandler(std::function<void(const QString& what)> handler);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void Failed(const QString& what);

    std::function<void(const QString&)> handler_;
};

} // namespace app
