#pragma once

#include <QtCore/QObject>

#include <memory>

namespace app {

// Tells when a volume is mounted or unmounted, where the system tells it (Linux); on Windows
// it never does, and the drive list reads the drives again when it is opened.
class MountWatch final : public QObject {
    Q_OBJECT
public:
    explicit MountWatch(QObject* parent);
    ~MountWatch() override;
    Q_DISABLE_COPY_MOVE(MountWatch)

Q_SIGNALS:
    void Changed();

private:
    struct Source;
    std::unique_ptr<Source> source_;
};

} // namespace app
