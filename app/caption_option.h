#pragma once

#include <QtWidgets/QRadioButton>

namespace app {

// An option whose caption wraps onto a second line when it does not fit on one, as a command
// button's does: a substitute for the layout's font may draw a caption wider than the option.
class CaptionOption final : public QRadioButton {
public:
    explicit CaptionOption(QWidget* parent) : QRadioButton(parent) {}
    Q_DISABLE_COPY_MOVE(CaptionOption)

    // Whether the caption shows whole beside the indicator in the option's font: on one line,
    // or wrapped where wrapping is allowed.
    bool ShowsCaptionWhole() const;
    void AllowWrapping(bool allowed) { wrapping_ = allowed; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool FitsOnOneLine() const { return sizeHint().width() <= width(); }
    QRect CaptionArea() const;

    bool wrapping_ = false;
};

} // namespace app
