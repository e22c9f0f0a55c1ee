#pragma once

#include "keyboard_focus_list_view.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace app {

class FileListModel;

// The file list: the open folder's files except hidden ones, in natural order, one selectable.
// A refresh is read lazily, the first time the list is read or shown after it, so that a
// command refreshing after every file reads the folder once; every read sees the disk as it is.
class FileList final : public KeyboardFocusListView {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent);
    Q_DISABLE_COPY_MOVE(FileList)

    // The folder whose files are listed.
    const std::filesystem::path& Path() const { return path_; }
    // Lists the folder's files with none selected. A folder that cannot be read lists nothing.
    // Names that were read from the folder a moment ago may be handed in (in natural order).
    void SetPath(const std::filesystem::path& folder,
                 std::optional<std::vector<std::filesystem::path>> namesRead = std::nullopt);
    // The selected file's name, exact bytes; empty when none is selected.
    std::filesystem::path FileName();
    // Reads the names again from disk; the selected name stays selected while it is still there.
    void Refresh();
    // Reads the names again at once, whether or not the list is held; names that were read
    // from the folder a moment ago may be handed in (in natural order).
    void ReadAgain(std::optional<std::vector<std::filesystem::path>> namesRead = std::nullopt);
    // While held, painting shows the names read before, so that a long command that refreshes
    // after every file does not have the list read the folder at every repaint; a refresh
    // asked for meanwhile is read once the hold ends.
    void HoldReads(bool hold);
    // The names listed, exact bytes, in the order shown.
    std::vector<std::filesystem::path> Names();
    // Selects the named file (no selection when it is not listed).
    void SelectFile(const std::filesystem::path& name);

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReadIfStale(std::optional<std::vector<std::filesystem::path>> namesRead = std::nullopt);

    FileListModel* model_;
    std::filesystem::path path_;
    std::filesystem::path keepSelected_;
    bool stale_ = false;
    bool held_ = false;
};

} // namespace app
