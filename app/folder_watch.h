#pragma once

#include <QtCore/QObject>

#include <filesystem>
#include <memory>
#include <vector>

namespace app {

// Tells when the entries of one folder change on disk, by the system's change notification:
// entries made, removed or renamed inside it, or the folder itself moved, removed or unmounted.
// Each spell of changes that the event loop picks up at once is told once; where the system
// lost some of them (its queue overflowed), that is told as a change too.
class FolderWatch final : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject* parent);
    ~FolderWatch() override;
    Q_DISABLE_COPY_MOVE(FolderWatch)

    // Watches this folder instead of the one before; a folder that cannot be watched is not.
    // The folder watched already stays watched as it is, news waiting included.
    void Watch(const std::filesystem::path& folder)
    {
        if (folder == folder_ && Watching())
            return;
        folder_ = folder;
        if (!paused_)
            Resume();
    }
    // Reads no news until Wake, so that a storm of changes costs nothing while the lists wait
    // to be read again: the system keeps the news, or tells that it lost some.
    void Snooze();
    // Takes the news kept since Snooze without telling it, as the lists are read again right
    // after, then tells news again.
    void Wake();
    // The names that the folder was heard to be renamed to in its parent since the last call,
    // in order; empty where the system tells no names.
    std::vector<std::filesystem::path> TakeRenames();
    // Stops telling until Resume: changes made meanwhile are never told, so that a command's
    // own changes do not come back as news once it has refreshed the lists itself. Changes
    // that were waiting to be told are told first.
    void Pause();
    void Resume();

Q_SIGNALS:
    void Changed();

private:
    // Reads the changes that wait to be told; true when one concerns the folder watched.
    bool TakeWaitingChanges();
    // True while the folder is watched.
    bool Watching() const;

    struct Source;
    std::unique_ptr<Source> source_;
    std::filesystem::path folder_;
    bool paused_ = false;
};

} // namespace app
