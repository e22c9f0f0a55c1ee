#pragma once

#include <QtWidgets/QTabBar>

namespace app {

// The row of tabs over the command pages, with little padding beside each caption, so that
// the captions of both languages show whole in its width.
class TabStrip final : public QTabBar {
public:
    explicit TabStrip(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TabStrip)
};

} // namespace app
