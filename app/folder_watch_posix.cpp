#include "folder_watch.h"

#include <QtCore/QSocketNotifier>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>

namespace app {

namespace {

constexpr std::uint32_t watchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR;

} // namespace

// One inotify descriptor on the event loop. The folder is named by its exact bytes, which
// QFileSystemWatcher cannot take for a name that is not valid UTF-8.
struct FolderWatch::Source {
    int fd = -1;
    int watch = -1;
    QSocketNotifier* notifier = nullptr;
};

FolderWatch::FolderWatch(QObject* parent) : QObject(parent), source_(std::make_unique<Source>())
{
    source_->fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (source_->fd < 0)
        return;  // no notification to be had: the lists then follow the commands only
    source_->notifier = new QSocketNotifier(source_->fd, QSocketNotifier::Read, this);
    connect(source_->notifier, &QSocketNotifier::activated, this, [this] {
        if (TakeWaitingChanges() && !paused_)
            Q_EMIT Changed();
    });
}

// Everything waiting is read at once and told once; news of a watch let go is dropped.
bool FolderWatch::TakeWaitingChanges()
{
    bool changed = false;
    alignas(inotify_event) std::array<char, 16384> buffer;
    while (source_->fd >= 0) {
        const ssize_t length = read(source_->fd, buffer.data(), buffer.size());
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            if (event->wd == source_->watch && !(event->mask & IN_IGNORED))
                changed = true;
            if (event->wd == source_->watch && (event->mask & (IN_IGNORED | IN_UNMOUNT)))
                source_->watch = -1;  // the kernel let the watch go
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return changed;
}

FolderWatch::~FolderWatch()
{
    if (source_->fd >= 0)
        close(source_->fd);
}

void FolderWatch::Pause()
{
    if (!paused_ && TakeWaitingChanges())
        Q_EMIT Changed();
    paused_ = true;
    if (source_->fd >= 0 && source_->watch >= 0)
        inotify_rm_watch(source_->fd, source_->watch);
    source_->watch = -1;
}

void FolderWatch::Resume()
{
    paused_ = false;
    if (source_->fd < 0)
        return;
    if (source_->watch >= 0)
        inotify_rm_watch(source_->fd, source_->watch);
    source_->watch = inotify_add_watch(source_->fd, folder_.c_str(), watchedEvents);
}

} // namespace app
