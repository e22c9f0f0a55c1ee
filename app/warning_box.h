#pragma once

#include <QtCore/QSize>
#include <QtCore/QString>

class QWidget;

namespace app {

// The room on the owner's screen for a dialog over it: the available area, less the frame
// that the window system puts around a window.
QSize ScreenRoom(const QWidget* owner);

// Shows a modal warning over the owner in plain text that stays on the screen whatever names
// it holds: a word too long for a line is shortened in its middle, and the whole text is then
// one click away, under the box's details. The arrow cursor shows over it.
void ShowWarningBox(QWidget* owner, const QString& title, const QString& text,
                    const QString& objectName);

} // namespace app
