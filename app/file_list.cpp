#include "file_list.h"

#include "filesystem.h"
#include "hidden_names.h"
#include "path_text.h"
#include "shown_text.h"

#include <QtCore/QAbstractListModel>
#include <QtWidgets/QScrollBar>

#include <algorithm>

namespace app {

using std::filesystem::path;

// The listed names, exact bytes behind the text shown.
class FileListModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Shows the folder's files but the hidden ones, read now unless they were read a moment
    // ago; a folder that cannot be read gives an empty list.
    void Read(const path& folder, std::optional<std::vector<path>> namesRead)
    {
        std::vector<path> names;
        try {
            names = namesRead ? std::move(*namesRead) : commands::ListFileNames(folder);
        } catch (const commands::FsError&) {
        }
        std::erase_if(names, [&](const path& n) { return commands::IsHidden(folder, n); });
        beginResetModel();
        names_ = std::move(names);
        endResetModel();
    }

    const std::vector<path>& Names() const { return names_; }

    int RowOf(const path& name) const
    {
        const auto found = std::find(names_.begin(), names_.end(), name);
        return found == names_.end() ? -1 : static_cast<int>(found - names_.begin());
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(names_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() ||
            index.row() >= static_cast<int>(names_.size()))
            return {};
        return ShownName(names_[index.row()]);
    }

private:
    std::vector<path> names_;
};

FileList::FileList(QWidget* parent) : KeyboardFocusListView(parent), model_(new FileListModel(this))
{
    setModel(model_);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileList::SetPath(const path& folder, std::optional<std::vector<path>> namesRead)
{
    path_ = folder;
    keepSelected_.clear();
    stale_ = false;
    model_->Read(path_, std::move(namesRead));
    scrollToTop();
}

path FileList::FileName()
{
    ReadIfStale();
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? path() : model_->Names()[selected.front().row()];
}

void FileList::Refresh()
{
    if (!stale_) {
        const QModelIndexList selected = selectionModel()->selectedIndexes();
        keepSelected_ = selected.isEmpty() ? path() : model_->Names()[selected.front().row()];
        stale_ = true;
        viewport()->update();  // once: the repaint reads the folder again
    }
}

void FileList::ReadAgain(std::optional<std::vector<path>> namesRead)
{
    Refresh();
    ReadIfStale(std::move(namesRead));
}

void FileList::HoldReads(bool hold)
{
    held_ = hold;
    if (!held_ && stale_)
        viewport()->update();
}

std::vector<path> FileList::Names()
{
    ReadIfStale();
    return model_->Names();
}

void FileList::SelectFile(const path& name)
{
    ReadIfStale();
    const int row = model_->RowOf(name);
    if (row < 0) {
        clearSelection();
        return;
    }
    setCurrentIndex(model_->index(row));
}

bool FileList::viewportEvent(QEvent* event)
{
    // Painting, mouse and wheel events see the names as they are on disk now.
    if (!held_)
        ReadIfStale();
    return QListView::viewportEvent(event);
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    ReadIfStale();
    QListView::keyPressEvent(event);
}

void FileList::ReadIfStale(std::optional<std::vector<path>> namesRead)
{
    if (!stale_)
        return;
    stale_ = false;
    const int scrolled = verticalScrollBar()->value();
    model_->Read(path_, std::move(namesRead));
    executeDelayedItemsLayout();
    const int row = keepSelected_.empty() ? -1 : model_->RowOf(keepSelected_);
    keepSelected_.clear();
    if (row >= 0) {
        setCurrentIndex(model_->index(row));
        scrollTo(currentIndex());
    } else {
        verticalScrollBar()->setValue(scrolled);
    }
}

} // namespace app
