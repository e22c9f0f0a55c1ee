#include "warning_box.h"

#include "win32/text.h"

namespace app {

QString ErrorText(int code)
{
    // Without the full stop that ends the system's messages: the warning adds its own.
    return QString::fromStdString(commands::SystemMessage(static_cast<unsigned long>(code)));
}

} // namespace app
