#include "no_display.h"

namespace app {

QString NoDisplayText(const QString& qtSaid)
{
    // Qt picks X11 or Wayland where the platform is not named; both need a display server.
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool needsDisplay = platform.isEmpty() || platform.contains(u"xcb") ||
                              platform.contains(u"wayland");
    const bool noneNamed =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // What Qt's X11 and Wayland plug-ins say when the display named cannot be reached.
    const bool unreachable = qtSaid.contains(u"could not connect to display") ||
                             qtSaid.contains(u"Failed to create wayland connection");
    if (needsDisplay && noneNamed) {
        return QStringLiteral("no display to open a window on (neither DISPLAY nor "
                              "WAYLAND_DISPLAY is set); xvfb-run ffname runs it without a screen");
    }
    if (unreachable) {
        return QStringLiteral("no display to open a window on (the one that DISPLAY or "
                              "WAYLAND_DISPLAY names cannot be reached); xvfb-run ffname runs it "
                              "without a screen");
    }
    return {};
}

} // namespace app
