#include "folder_watch.h"

#include <QtCore/QSocketNotifier>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <string_view>
#include <utility>

namespace app {

namespace {

constexpr std::uint32_t folderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                       IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR;
// In the parent, only what happens to the folder's own name counts.
constexpr std::uint32_t parentEvents = IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

} // namespace

// One inotify descriptor on the event loop, watching the folder and its parent. The folder is
// named by its exact bytes, which QFileSystemWatcher cannot take for a name that is not valid
// UTF-8. A watch holds no descriptor on the folder: its volume can still be unmounted.
struct FolderWatch::Source {
    int fd = -1;
    int watch = -1;
    int parentWatch = -1;
    // The parent's move of the folder's own name away, paired by the kernel's cookie with
    // the move that gives it its new name.
    std::uint32_t leaving = 0;
    std::vector<std::filesystem::path> renamedTo;
    QSocketNotifier* notifier = nullptr;

    bool Take(const inotify_event& event, const std::filesystem::path& folder);
    bool TakeFromParent(const inotify_event& event, const std::filesystem::path& folder);
    void LetGo();
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
    alignas(inotify_event) std::array<char, 65536> buffer;
    while (source_->fd >= 0) {
        const ssize_t length = read(source_->fd, buffer.data(), buffer.size());
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            changed = source_->Take(*event, folder_) || changed;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return changed;
}

// True where the event concerns the folder. An overflow lost events that may have.
bool FolderWatch::Source::Take(const inotify_event& event, const std::filesystem::path& folder)
{
    if (event.mask & IN_Q_OVERFLOW)
        return true;
    bool concerns = false;
    if (event.wd == watch) {
        concerns = !(event.mask & IN_IGNORED);
        if (event.mask & (IN_IGNORED | IN_UNMOUNT))
            watch = -1;  // the kernel let the watch go
    } else if (event.wd == parentWatch) {
        concerns = TakeFromParent(event, folder);
        if (event.mask & (IN_IGNORED | IN_UNMOUNT)) {
            parentWatch = -1;
            concerns = true;
        }
    }
    return concerns;
}

bool FolderWatch::Source::TakeFromParent(const inotify_event& event,
                                         const std::filesystem::path& folder)
{
    if (event.len == 0)
        return false;
    const std::string_view name(event.name);
    const bool itsName = name == folder.filename().native();
    if ((event.mask & IN_MOVED_FROM) && itsName) {
        leaving = event.cookie;
        return true;
    }
    if ((event.mask & IN_MOVED_TO) && leaving != 0 && event.cookie == leaving) {
        leaving = 0;
        renamedTo.emplace_back(std::string(name));
        return true;
    }
    // Deleted, or something else put at its name.
    return itsName && (event.mask & (IN_DELETE | IN_MOVED_TO));
}

bool FolderWatch::Watching() const { return !paused_ && source_->watch >= 0; }

void FolderWatch::Snooze()
{
    if (source_->notifier)
        source_->notifier->setEnabled(false);
}

void FolderWatch::Wake()
{
    TakeWaitingChanges();
    if (source_->notifier)
        source_->notifier->setEnabled(true);
}

std::vector<std::filesystem::path> FolderWatch::TakeRenames()
{
    return std::exchange(source_->renamedTo, {});
}

FolderWatch::~FolderWatch()
{
    if (source_->fd >= 0)
        close(source_->fd);
}

void FolderWatch::Source::LetGo()
{
    for (int* each : {&watch, &parentWatch}) {
        if (fd >= 0 && *each >= 0)
            inotify_rm_watch(fd, *each);
        *each = -1;
    }
}

void FolderWatch::Pause()
{
    if (!paused_ && TakeWaitingChanges())
        Q_EMIT Changed();
    paused_ = true;
    source_->LetGo();
}

void FolderWatch::Resume()
{
    source_->LetGo();
    paused_ = false;
    source_->leaving = 0;
    if (source_->fd < 0 || folder_.empty())
        return;
    source_->watch = inotify_add_watch(source_->fd, folder_.c_str(), folderEvents);
    if (folder_.has_relative_path())
        source_->parentWatch =
            inotify_add_watch(source_->fd, folder_.parent_path().c_str(), parentEvents);
}

} // namespace app
