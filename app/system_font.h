#pragma once

#include <QtGui/QFont>

namespace app {

// The desktop's own sans-serif face, which the window's font starts from (a twin per platform).
QFont SystemSansFont();

} // namespace app
