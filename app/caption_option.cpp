#include "caption_option.h"

#include <QtWidgets/QStyleOptionButton>
#include <QtWidgets/QStyleOptionFocusRect>
#include <QtWidgets/QStylePainter>

namespace app {

namespace {

constexpr int wrapped = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

} // namespace

QRect CaptionOption::CaptionArea() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_RadioButtonContents, &option, this);
}

bool CaptionOption::ShowsCaptionWhole() const
{
    if (FitsOnOneLine())
        return true;
    if (!wrapping_)
        return false;
    const QRect area = CaptionArea();
    return area.contains(fontMetrics().boundingRect(area, wrapped, text()));
}

// On one line the style draws the option as it draws any; wrapped, the style draws the
// indicator and the caption is drawn beside it.
void CaptionOption::paintEvent(QPaintEvent* event)
{
    if (!wrapping_ || FitsOnOneLine()) {
        QRadioButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_RadioButton, option);
    const QRect area = CaptionArea();
    painter.drawItemText(area, wrapped, palette(), isEnabled(), text(), QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fontMetrics().boundingRect(area, wrapped, text()).adjusted(-1, 0, 1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace app
