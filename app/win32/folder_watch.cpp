#include "folder_watch.h"

#include "path_text.h"

#include <QtCore/QFileSystemWatcher>

namespace app {

// Qt's watcher, which on Windows takes every path that the system can name.
struct FolderWatch::Source {
    QFileSystemWatcher* watcher = nullptr;
};

FolderWatch::FolderWatch(QObject* parent) : QObject(parent), source_(std::make_unique<Source>())
{
    source_->watcher = new QFileSystemWatcher(this);
    connect(source_->watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!paused_)
            Q_EMIT Changed();
    });
}

FolderWatch::~FolderWatch() = default;

// Qt's watcher tells each change from the event loop, and keeps nothing waiting.
bool FolderWatch::TakeWaitingChanges() { return false; }

bool FolderWatch::Watching() const
{
    return !paused_ && !source_->watcher->directories().isEmpty();
}

// Qt's watcher keeps nothing waiting: news while snoozing is told, and the timer that waits to
// read the lists again takes it in.
void FolderWatch::Snooze() {}

void FolderWatch::Wake() {}

// Qt's watcher names no new name: the folder is looked for in its parent by what it is.
std::vector<std::filesystem::path> FolderWatch::TakeRenames() { return {}; }

void FolderWatch::Pause()
{
    paused_ = true;
    if (!source_->watcher->directories().isEmpty())
        source_->watcher->removePaths(source_->watcher->directories());
}

void FolderWatch::Resume()
{
    paused_ = false;
    if (!source_->watcher->directories().isEmpty())
        source_->watcher->removePaths(source_->watcher->directories());
    if (!folder_.empty())
        source_->watcher->addPath(DisplayName(folder_));
}

} // namespace app
