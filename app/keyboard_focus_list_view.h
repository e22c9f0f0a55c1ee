#pragma once

#include <QtWidgets/QListView>

namespace app {

// A list view that tells a screen reader that the focus went to its current entry only while
// it has the keyboard's focus. Qt's says so at every change of the current entry, also where
// the program makes an entry current again after reading the list anew and the keyboard is
// elsewhere: after a command, or after another program changed the folder.
class KeyboardFocusListView : public QListView {
public:
    using QListView::QListView;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override
    {
        if (hasFocus())
            QListView::currentChanged(current, previous);
        else
            QAbstractItemView::currentChanged(current, previous);
    }
};

} // namespace app
