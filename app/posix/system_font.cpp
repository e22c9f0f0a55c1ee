#include "system_font.h"

namespace app {

// fontconfig's name for the desktop's sans face.
QFont SystemSansFont() { return QFont(QStringLiteral("Sans Serif")); }

} // namespace app
