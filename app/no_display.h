#pragma once

#include <QtCore/QString>

namespace app {

// Why the window system could not start, as one line for the error output, where the cause is
// that there is no display to open a window on; empty for any other cause. qtSaid holds what Qt
// said while its platform plug-in started.
QString NoDisplayText(const QString& qtSaid);

} // namespace app
