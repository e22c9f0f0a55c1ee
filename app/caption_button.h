#pragma once

#include <QtWidgets/QPushButton>

namespace app {

// A command button whose caption wraps onto a second line when it does not fit on one.
class CaptionButton final : public QPushButton {
public:
    CaptionButton(const QString& caption, QWidget* parent);
    Q_DISABLE_COPY_MOVE(CaptionButton)

    // Whether the caption, wrapped, shows whole inside the button in the button's font.
    bool ShowsCaptionWhole() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect CaptionArea() const;
};

} // namespace app
