#pragma once

#include <QtCore/QRect>
#include <QtGui/QFont>

#include <array>

class QWidget;

namespace app {

// What kind of control a row of the layout is.
enum class ControlKind { DriveList, FolderTree, FileList, TextBox, Label, Frame, Option, Button, Tabs };

// The fonts of the layout: the window's default font, or Times New Roman (Cyrillic) in two sizes.
enum class ControlFont { Default, TimesNewRoman9Bold, TimesNewRoman78 };

// How a control follows the window's width beyond its designed size. The extra width goes
// half to the tree's column (the drive list over the tree) and half to the file column (the
// name box and its label over the file list); the tab strip and the pages keep their size at
// the right edge.
enum class Across {
    Stays,            // keeps its place and width
    TreeColumn,       // takes the tree column's share
    FileColumn,       // moves over by the tree column's share and takes the file column's
    FileColumnMiddle, // keeps its place to the file column's middle (the name box's label)
    RightEdge,        // moves with the right edge
};

// How a control follows the window's height beyond its designed size: the lists take it, and
// the option frames keep their size at the bottom edge.
enum class Down { Stays, Grows, BottomEdge };

// One control of the window: its name, kind, container (null: the window), place and size in
// twips within the container at the window's designed size, font, and how it follows a larger
// window. Its captions are in captions.cpp.
struct ControlLayout {
    const char* name;
    ControlKind kind;
    const char* container;
    int left, top, width, height;
    ControlFont font;
    Across across;
    Down down;
};

// The window's client area in twips: its designed size, and the least it can be made.
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
// The window's designed client size in pixels at its logical resolution.
QSize DesignedSize(const QWidget& window);
// A row's place in pixels in a window that is `extra` pixels larger than its designed size.
QRect PlaceIn(const ControlLayout& row, qreal dpiX, qreal dpiY, QSize extra);
// Places every control of the table for the window's size; never smaller than designed.
void PlaceControls(QWidget& window);

} // namespace app
