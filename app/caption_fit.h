#pragma once

class QWidget;

namespace app {

// Gives each control with a caption its font of the layout again, and where the caption does
// not show whole in that font, the largest smaller size that shows it. The layout's fonts may
// not be on the system, and a substitute can draw wider (Wine draws Times New Roman in another
// serif).
void FitCaptions(QWidget& window);

} // namespace app
