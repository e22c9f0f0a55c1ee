#pragma once

class QWidget;

namespace app {

// Gives each control with a caption, and the name box, its font of the layout again, and where
// the caption (or a line of the box's text) does not show whole in that font, the largest
// smaller size that shows it. The layout's fonts may not be on the system, and a substitute can
// draw wider or taller (Wine draws Times New Roman in another serif).
void FitCaptions(QWidget& window);

} // namespace app
