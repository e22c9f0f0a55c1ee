#include "warning_box.h"

#include <cstring>

namespace app {

QString ErrorText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

} // namespace app
