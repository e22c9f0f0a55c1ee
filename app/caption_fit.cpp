#include "caption_fit.h"

#include "caption_button.h"
#include "caption_option.h"
#include "layout.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionFrame>

namespace app {

namespace {

// Whether a control shows its caption whole: a command button wrapped within its face, an
// option beside its indicator, on one line or wrapped, any other control on one line within its
// width (a frame's title with the frame around it).
bool ShowsCaptionWhole(const QWidget& control)
{
    if (auto* button = dynamic_cast<const CaptionButton*>(&control))
        return button->ShowsCaptionWhole();
    if (auto* option = dynamic_cast<const CaptionOption*>(&control))
        return option->ShowsCaptionWhole();
    if (auto* frame = qobject_cast<const QGroupBox*>(&control))
        return frame->minimumSizeHint().width() <= frame->width();
    return control.sizeHint().width() <= control.width();
}

// Whether a text box shows a whole line of its text, descenders included: the line's height fits
// the box's contents, inside its frame, where the box clips what it draws.
bool ShowsLineWhole(const QLineEdit& box)
{
    QStyleOptionFrame frame;
    frame.initFrom(&box);
    if (box.hasFrame())
        frame.lineWidth = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &box);
    const QRect contents = box.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &box);
    return box.fontMetrics().height() <= contents.height();
}

bool ShowsWhole(const QWidget& control)
{
    if (auto* box = qobject_cast<const QLineEdit*>(&control))
        return ShowsLineWhole(*box);
    return ShowsCaptionWhole(control);
}

// Gives the control the font, or where its text does not show whole in it, the largest
// smaller size down to `smallest` that shows it; true when it shows whole.
bool FitDownTo(QWidget& control, QFont font, qreal smallest)
{
    control.setFont(font);
    while (!ShowsWhole(control) && font.pointSizeF() - 0.25 >= smallest) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        control.setFont(font);
    }
    return ShowsWhole(control);
}

// An option's caption stays on one line while a size of 7 points or more shows it there, else
// wraps, as a button's does.
void FitCaption(QWidget& control, const QFont& font)
{
    if (auto* option = dynamic_cast<CaptionOption*>(&control)) {
        option->AllowWrapping(false);
        if (FitDownTo(control, font, 7.0))
            return;
        option->AllowWrapping(true);
    }
    FitDownTo(control, font, 5.0);
}

// The kinds of control whose text the window fits to the control.
bool ShowsText(ControlKind kind)
{
    return kind == ControlKind::TextBox || kind == ControlKind::Label || kind == ControlKind::Frame ||
           kind == ControlKind::Option || kind == ControlKind::Button || kind == ControlKind::Tabs;
}

} // namespace

void FitCaptions(QWidget& window)
{
    for (const ControlLayout& row : windowLayout) {
        if (!ShowsText(row.kind))
            continue;
        if (auto* control = window.findChild<QWidget*>(QLatin1String(row.name)))
            FitCaption(*control, LayoutFont(row.font, window.font()));
    }
}

} // namespace app
