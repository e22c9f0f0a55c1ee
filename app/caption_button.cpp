#include "caption_button.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyleOptionButton>
#include <QtWidgets/QStylePainter>

namespace app {

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    // The window has no default button: Enter and Esc press nothing.
    setAutoDefault(false);
    setDefault(false);
}

void CaptionButton::mousePressEvent(QMouseEvent* event)
{
    if (lastClickAt_ && event->timestamp() - *lastClickAt_ <
                            static_cast<quint64>(QApplication::doubleClickInterval())) {
        event->accept();  // the second press of a double click
        return;
    }
    QPushButton::mousePressEvent(event);
}

void CaptionButton::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void CaptionButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (isDown())
        lastClickAt_ = event->timestamp();
    QPushButton::mouseReleaseEvent(event);
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect area = CaptionArea();
    if (isDown())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
}

QRect CaptionButton::CaptionArea() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) / 2;
    return rect().adjusted(margin, 1, -margin, -1);
}

bool CaptionButton::ShowsCaptionWhole() const
{
    const QRect area = CaptionArea();
    return area.contains(fontMetrics().boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, text()));
}

} // namespace app
