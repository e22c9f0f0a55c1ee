#include "folder_tree.h"

#include "filesystem.h"
#include "folder_paths.h"
#include "hidden_names.h"
#include "path_text.h"
#include "shown_text.h"
#include "icons/folder-closed-16.xpm"
#include "icons/folder-open-16.xpm"

#include <QtCore/QAbstractListModel>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QStyledItemDelegate>

#include <utility>
#include <vector>

namespace app {

using std::filesystem::path;

namespace {

constexpr int DepthRole = Qt::UserRole + 1;

// Draws each entry indented by its depth in the tree.
class IndentDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + Indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
    }

private:
    static int Indent(const QModelIndex& index) { return index.data(DepthRole).toInt() * 10; }
};

} // namespace

// The entries of the tree: ancestors with the open folder, then its subfolders.
class FolderTreeModel final : public QAbstractListModel {
public:
    // An ancestor (the open folder or one above it) by its full path; a subfolder by its name
    // alone, so that a folder of many subfolders makes no full path for each of them.
    struct Row {
        path folder;
        int depth;
        bool ancestor;
    };

    FolderTreeModel(QObject* parent, const QIcon& openIcon, const QIcon& closedIcon)
        : QAbstractListModel(parent), openIcon_(openIcon), closedIcon_(closedIcon)
    {
    }

    // The rows for a folder with these subfolders.
    static std::vector<Row> Rows(const path& folder, std::vector<path> subfolders)
    {
        std::vector<Row> rows;
        int depth = 0;
        for (path& ancestor : AncestorsOf(folder))
            rows.push_back({std::move(ancestor), depth++, true});
        rows.reserve(rows.size() + subfolders.size());
        for (path& name : subfolders)
            if (!commands::IsHidden(folder, name))
                rows.push_back({std::move(name), depth, false});
        return rows;
    }

    // Shows the rows of the folder whose subfolders they list.
    void Show(const path& folder, std::vector<Row> rows)
    {
        beginResetModel();
        folder_ = folder;
        rows_ = std::move(rows);
        endResetModel();
    }

    path FolderAt(int row) const
    {
        const Row& r = rows_[row];
        return r.ancestor ? r.folder : folder_ / r.folder;
    }

    // The subfolder's listed name where it is not one name; empty for any other row.
    path RefusedNameAt(int row) const
    {
        const Row& r = rows_[row];
        return r.ancestor || commands::IsOneName(r.folder) ? path() : r.folder;
    }

    int RowOf(const path& folder) const
    {
        const bool inFolder = !folder.empty() && folder.parent_path() == folder_ &&
                              folder.has_relative_path() && folder != folder_;
        const path name = inFolder ? folder.filename() : path();
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].ancestor ? rows_[i].folder == folder : inFolder && rows_[i].folder == name)
                return static_cast<int>(i);
        return -1;
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
            return {};
        const Row& row = rows_[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            // A root shows its whole path ("/", "C:\"), any other folder its name.
            if (!row.ancestor)
                return ShownName(row.folder);
            return ShownName(row.folder.has_relative_path() ? row.folder.filename() : row.folder);
        case Qt::DecorationRole:
            return row.ancestor ? openIcon_ : closedIcon_;
        case DepthRole:
            return row.depth;
        case Qt::AccessibleDescriptionRole:
            return levelText_.arg(row.depth + 1);
        default:
            return {};
        }
    }

    void SetLevelText(const QString& text)
    {
        levelText_ = text;
        if (!rows_.empty())
            Q_EMIT dataChanged(index(0), index(static_cast<int>(rows_.size()) - 1),
                               {Qt::AccessibleDescriptionRole});
    }

private:
    QString levelText_;
    QIcon openIcon_;
    QIcon closedIcon_;
    path folder_;
    std::vector<Row> rows_;
};

FolderTree::FolderTree(QWidget* parent)
    : KeyboardFocusListView(parent),
      model_(new FolderTreeModel(this, QIcon(QPixmap(folder_open_16_xpm)),
                                 QIcon(QPixmap(folder_closed_16_xpm))))
{
    setModel(model_);
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::doubleClicked, this, &FolderTree::RequestOpen);
}

void FolderTree::SetPath(const path& folderOrDrive)
{
    const path folder = NormalFolder(folderOrDrive);
    const std::optional<path> driveFolder = driveFolder_ ? driveFolder_(folder) : std::nullopt;
    OpenFolder(driveFolder ? *driveFolder : folder);
}

void FolderTree::OpenFolder(const path& folder)
{
    const path normal = NormalFolder(folder);
    commands::HeldFolder held(normal);
    commands::FolderEntries entries = held.Read(normal);
    held_ = std::move(held);
    Show(normal, std::move(entries));
}

// Shows the folder held as the open one, at this path; raises Change when the path is new.
void FolderTree::Show(const path& folder, commands::FolderEntries entries)
{
    model_->Show(folder, FolderTreeModel::Rows(folder, std::move(entries.subfolders)));
    const bool moved = folder != open_;
    open_ = folder;
    MarkOpen(folder);
    Q_EMIT Opened(folder);
    if (moved)
        Q_EMIT Change(FilesRead(std::move(entries.files)));
}

void FolderTree::SetLevelText(const QString& text) { model_->SetLevelText(text); }

FolderTree::FilesRead FolderTree::Refresh(const std::vector<path>& renamedTo)
{
    if (open_.empty())
        return std::nullopt;
    const std::optional<path> now = held_.FindAgain(open_, renamedTo);
    if (!now) {
        OpenNearestAncestor(open_);  // gone, or moved out of its parent
        return std::nullopt;
    }
    const QModelIndex current = currentIndex();
    const path highlighted = current.isValid() ? model_->FolderAt(current.row()) : path();
    if (*now != open_) {
        try {
            Show(*now, held_.Read(*now));
            return std::nullopt;
        } catch (const std::exception&) {
            open_ = *now;  // moved where it cannot be read: shown like any unreadable folder
            Q_EMIT Opened(open_);
            Q_EMIT Change(std::nullopt);
        }
    }
    FilesRead filesRead;
    for (path shown = open_; !shown.empty(); shown = shown.parent_path()) {
        try {
            commands::FolderEntries entries =
                shown == open_ ? held_.Read(shown) : commands::ReadFolder(shown);
            model_->Show(shown, FolderTreeModel::Rows(shown, std::move(entries.subfolders)));
            if (shown == open_)
                filesRead = std::move(entries.files);
            break;
        } catch (const std::exception&) {
            if (shown == shown.parent_path()) {
                model_->Show(path(), {});
                break;
            }
        }
    }
    MarkOpen(highlighted);
    return filesRead;
}

void FolderTree::OpenNearestAncestor(const path& folder, const path& fallback)
{
    const auto opens = [this](const path& candidate) {
        try {
            OpenFolder(candidate);
            return true;
        } catch (const commands::FsError&) {
            return false;
        }
    };
    for (path up = folder.parent_path(); !up.empty(); up = up.parent_path()) {
        if (opens(up))
            return;
        if (up == up.parent_path())
            break;
    }
    if (fallback.empty() || !opens(fallback))
        model_->Show(path(), {});
}

// The open folder is the selected entry; the keyboard's cursor may rest on another one.
void FolderTree::MarkOpen(const path& cursorOn)
{
    const QModelIndex open = model_->index(model_->RowOf(open_));
    selectionModel()->select(open, QItemSelectionModel::ClearAndSelect);
    const int row = model_->RowOf(cursorOn);
    selectionModel()->setCurrentIndex(row >= 0 ? model_->index(row) : open,
                                      QItemSelectionModel::NoUpdate);
}

QItemSelectionModel::SelectionFlags FolderTree::selectionCommand(const QModelIndex&,
                                                                 const QEvent*) const
{
    return QItemSelectionModel::NoUpdate;
}

void FolderTree::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        RequestOpen(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

void FolderTree::RequestOpen(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    if (const path refused = model_->RefusedNameAt(index.row()); !refused.empty())
        Q_EMIT OpenRefused(refused);
    else
        Q_EMIT OpenRequested(model_->FolderAt(index.row()));
}

} // namespace app
