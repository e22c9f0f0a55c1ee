#pragma once

#include <QtCore/QRect>
#include <QtGui/QFont>

#include <array>

namespace app {

// What kind of control a row of the layout is.
enum class ControlKind { DriveList, FolderTree, FileList, TextBox, Label, Frame, Option, Button, Tabs };

// The fonts of the layout: the window's default font, or Times New Roman (Cyrillic) in two sizes.
enum class ControlFont { Default, TimesNewRoman9Bold, TimesNewRoman78 };

// One control of the window: its name, kind, container (null: the window), place and size in
// twips within the container, and font. Its captions are in captions.cpp.
struct ControlLayout {
    const char* name;
    ControlKind kind;
    const char* container;
    int left, top, width, height;
    ControlFont font;
};

// The window's client area in twips.
constexpr int windowWidthTwips = 9468;
constexpr int windowHeightTwips = 3780;

// The 23 controls, in tab order. Where boxes overlap, a later row lies over an earlier one,
// except Label1, which lies under everything.
extern const std::array<ControlLayout, 23> windowLayout;

// The font of a layout row; the default font is the window's, which a control inherits.
QFont LayoutFont(ControlFont font, const QFont& windowFont);
// The window's default font: a sans font that shows Cyrillic, small enough for the layout.
QFont WindowFont();
// Twips to pixels at a logical resolution: round(twips * dpi / 1440).
QRect TwipsToPixels(const ControlLayout& row, qreal dpiX, qreal dpiY);
int TwipsToPixels(int twips, qreal dpi);

} // namespace app
