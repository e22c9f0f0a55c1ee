#pragma once

#include <QtWidgets/QPushButton>

#include <optional>

namespace app {

// A command button whose caption wraps onto a second line when it does not fit on one. A double
// click is one click: its second press would run the command again on what the first one
// left, and after a folder delete the window shows the parent.
class CaptionButton final : public QPushButton {
public:
    CaptionButton(const QString& caption, QWidget* parent);
    Q_DISABLE_COPY_MOVE(CaptionButton)

    // Whether the caption, wrapped, shows whole inside the button in the button's font.
    bool ShowsCaptionWhole() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect CaptionArea() const;

    std::optional<quint64> lastClickAt_;  // the time stamp of the release that clicked
};

} // namespace app
