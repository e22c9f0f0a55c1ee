#include "layout.h"

#include "system_font.h"

#include <QtCore/QtMath>
#include <QtWidgets/QWidget>

namespace app {

const std::array<ControlLayout, 23> windowLayout = {{
    {"DirDrive", ControlKind::DriveList, nullptr, 120, 480, 2652, 288, ControlFont::Default,
     Across::TreeColumn, Down::Stays},
    {"DirFolder", ControlKind::FolderTree, nullptr, 120, 960, 2652, 1800, ControlFont::Default,
     Across::TreeColumn, Down::Grows},
    {"DirFiles", ControlKind::FileList, nullptr, 3000, 960, 3132, 1800, ControlFont::Default,
     Across::FileColumn, Down::Grows},
    {"txtName", ControlKind::TextBox, nullptr, 3000, 480, 3132, 372, ControlFont::Default,
     Across::FileColumn, Down::Stays},
    {"Label1", ControlKind::Label, nullptr, 3720, 240, 1812, 252, ControlFont::TimesNewRoman9Bold,
     Across::FileColumnMiddle, Down::Stays},
    {"Frame1", ControlKind::Frame, nullptr, 120, 2880, 2772, 732, ControlFont::Default,
     Across::Stays, Down::BottomEdge},
    {"OptEng", ControlKind::Option, "Frame1", 240, 240, 2292, 372, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"OptRus", ControlKind::Option, "Frame1", 1440, 240, 1092, 372, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"FrameFolder", ControlKind::Frame, nullptr, 6360, 600, 2652, 2172, ControlFont::Default,
     Across::RightEdge, Down::Stays},
    {"cbCr", ControlKind::Button, "FrameFolder", 120, 240, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"cbDel", ControlKind::Button, "FrameFolder", 120, 1440, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"cbRen", ControlKind::Button, "FrameFolder", 120, 840, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"FrameFile", ControlKind::Frame, nullptr, 6360, 600, 2772, 2172, ControlFont::Default,
     Across::RightEdge, Down::Stays},
    {"cbDelFile", ControlKind::Button, "FrameFile", 120, 1440, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"cbRenFile", ControlKind::Button, "FrameFile", 120, 840, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"cbCrFile", ControlKind::Button, "FrameFile", 120, 240, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"FrameAllFiles", ControlKind::Frame, nullptr, 6360, 600, 2772, 2172, ControlFont::Default,
     Across::RightEdge, Down::Stays},
    {"cbRenAll", ControlKind::Button, "FrameAllFiles", 120, 240, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"cbDelAll", ControlKind::Button, "FrameAllFiles", 120, 840, 1812, 492, ControlFont::Default,
     Across::Stays, Down::Stays},
    {"TabStrip1", ControlKind::Tabs, nullptr, 6360, 120, 2772, 372, ControlFont::TimesNewRoman9Bold,
     Across::RightEdge, Down::Stays},
    {"Frame2", ControlKind::Frame, nullptr, 4800, 2880, 4332, 732, ControlFont::TimesNewRoman78,
     Across::RightEdge, Down::BottomEdge},
    {"OptDelRec", ControlKind::Option, "Frame2", 120, 240, 2652, 372, ControlFont::TimesNewRoman78,
     Across::Stays, Down::Stays},
    {"OptDel", ControlKind::Option, "Frame2", 2880, 240, 1332, 372, ControlFont::TimesNewRoman78,
     Across::Stays, Down::Stays},
}};

namespace {

QFont TimesNewRoman(qreal points, QFont::Weight weight)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

} // namespace

QFont LayoutFont(ControlFont font, const QFont& windowFont)
{
    switch (font) {
    case ControlFont::TimesNewRoman9Bold:
        return TimesNewRoman(9, QFont::Bold);
    case ControlFont::TimesNewRoman78:
        return TimesNewRoman(7.8, QFont::Normal);
    case ControlFont::Default:
        break;
    }
    return windowFont;
}

QFont WindowFont()
{
    QFont font = SystemSansFont();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

int TwipsToPixels(int twips, qreal dpi) { return qRound(twips * dpi / 1440.0); }

QRect TwipsToPixels(const ControlLayout& row, qreal dpiX, qreal dpiY)
{
    return QRect(TwipsToPixels(row.left, dpiX), TwipsToPixels(row.top, dpiY),
                 TwipsToPixels(row.width, dpiX), TwipsToPixels(row.height, dpiY));
}

QSize DesignedSize(const QWidget& window)
{
    return {TwipsToPixels(windowWidthTwips, window.logicalDpiX()),
            TwipsToPixels(windowHeightTwips, window.logicalDpiY())};
}

QRect PlaceIn(const ControlLayout& row, qreal dpiX, qreal dpiY, QSize extra)
{
    QRect place = TwipsToPixels(row, dpiX, dpiY);
    const int treeShare = extra.width() / 2;
    switch (row.across) {
    case Across::Stays: break;
    case Across::TreeColumn: place.setWidth(place.width() + treeShare); break;
    case Across::FileColumn:
        place.translate(treeShare, 0);
        place.setWidth(place.width() + extra.width() - treeShare);
        break;
    case Across::FileColumnMiddle:
        place.translate(treeShare + (extra.width() - treeShare) / 2, 0);
        break;
    case Across::RightEdge: place.translate(extra.width(), 0); break;
    }
    switch (row.down) {
    case Down::Stays: break;
    case Down::Grows: place.setHeight(place.height() + extra.height()); break;
    case Down::BottomEdge: place.translate(0, extra.height()); break;
    }
    return place;
}

// The captions were fitted to the designed sizes, which every control with a caption keeps.
void PlaceControls(QWidget& window)
{
    const QSize extra = (window.size() - DesignedSize(window)).expandedTo(QSize(0, 0));
    for (const ControlLayout& row : windowLayout)
        if (auto* control = window.findChild<QWidget*>(QLatin1String(row.name)))
            control->setGeometry(PlaceIn(row, window.logicalDpiX(), window.logicalDpiY(), extra));
}

} // namespace app
