#include "caption_fit.h"

#include "caption_button.h"
#include "layout.h"

#include <QtWidgets/QGroupBox>

namespace app {

namespace {

// Whether a control shows its caption whole: a command button wrapped within its face, any
// other control on one line within its width (a frame's title with the frame around it).
bool ShowsCaptionWhole(const QWidget& control)
{
    if (auto* button = dynamic_cast<const CaptionButton*>(&control))
        return button->ShowsCaptionWhole();
    if (auto* frame = qobject_cast<const QGroupBox*>(&control))
        return frame->minimumSizeHint().width() <= frame->width();
    return control.sizeHint().width() <= control.width();
}

void FitCaption(QWidget& control, QFont font)
{
    control.setFont(font);
    constexpr qreal smallest = 5.0;
    while (!ShowsCaptionWhole(control) && font.pointSizeF() - 0.25 >= smallest) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        control.setFont(font);
    }
}

bool HasCaption(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Frame ||
           kind == ControlKind::Option || kind == ControlKind::Button || kind == ControlKind::Tabs;
}

} // namespace

void FitCaptions(QWidget& window)
{
    for (const ControlLayout& row : windowLayout) {
        if (!HasCaption(row.kind))
            continue;
        if (auto* control = window.findChild<QWidget*>(QLatin1String(row.name)))
            FitCaption(*control, LayoutFont(row.font, window.font()));
    }
}

} // namespace app
