#include "mount_watch.h"

#include "mount_info.h"

#include <QtCore/QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace app {

// The kernel marks the open mount table (POLLPRI, an exception condition) at each mount and
// unmount; polling it takes the mark off.
struct MountWatch::Source {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
};

MountWatch::MountWatch(QObject* parent) : QObject(parent), source_(std::make_unique<Source>())
{
    source_->fd = ::open(mountTablePath, O_RDONLY | O_CLOEXEC);
    if (source_->fd < 0)
        return;  // no /proc: mounts are seen when the list is read again
    source_->notifier = new QSocketNotifier(source_->fd, QSocketNotifier::Exception, this);
    connect(source_->notifier, &QSocketNotifier::activated, this, &MountWatch::Changed);
}

// The notifier lets go of the descriptor before it closes.
MountWatch::~MountWatch()
{
    if (source_->notifier)
        source_->notifier->setEnabled(false);
    if (source_->fd >= 0)
        ::close(source_->fd);
}

} // namespace app
