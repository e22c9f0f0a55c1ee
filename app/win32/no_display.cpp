#include "no_display.h"

namespace app {

// Windows always has a desktop to open a window on: a platform plug-in that fails there is told
// in Qt's own words.
QString NoDisplayText(const QString&) { return {}; }

} // namespace app
