#pragma once

namespace app {

// Qt starts its platform plug-in inside the application object's constructor, and where the
// plug-in cannot start (no display to connect to) Qt ends the process with abort(). Between
// these two calls, around that constructor, Qt's messages are held back: a start that fails ends
// the program with status 1 and one plain line on the error output (no_display.h) where the
// display is what is missing, else with Qt's own words, and never with an abort.
void HoldPlatformMessages();
// Qt's messages go to Qt's own handler again, those held back first.
void ReleasePlatformMessages();

} // namespace app
