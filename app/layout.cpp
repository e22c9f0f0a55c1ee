#include "layout.h"

#include "system_font.h"

#include <QtCore/QtMath>

namespace app {

const std::array<ControlLayout, 23> windowLayout = {{
    {"DirDrive", ControlKind::DriveList, nullptr, 120, 480, 2652, 288, ControlFont::Default},
    {"DirFolder", ControlKind::FolderTree, nullptr, 120, 960, 2652, 1800, ControlFont::Default},
    {"DirFiles", ControlKind::FileList, nullptr, 3000, 960, 3132, 1800, ControlFont::Default},
    {"txtName", ControlKind::TextBox, nullptr, 3000, 480, 3132, 372, ControlFont::Default},
    {"Label1", ControlKind::Label, nullptr, 3720, 240, 1812, 252, ControlFont::TimesNewRoman9Bold},
    {"Frame1", ControlKind::Frame, nullptr, 120, 2880, 2772, 732, ControlFont::Default},
    {"OptEng", ControlKind::Option, "Frame1", 240, 240, 2292, 372, ControlFont::Default},
    {"OptRus", ControlKind::Option, "Frame1", 1440, 240, 1092, 372, ControlFont::Default},
    {"FrameFolder", ControlKind::Frame, nullptr, 6360, 600, 2652, 2172, ControlFont::Default},
    {"cbCr", ControlKind::Button, "FrameFolder", 120, 240, 1812, 492, ControlFont::Default},
    {"cbDel", ControlKind::Button, "FrameFolder", 120, 1440, 1812, 492, ControlFont::Default},
    {"cbRen", ControlKind::Button, "FrameFolder", 120, 840, 1812, 492, ControlFont::Default},
    {"FrameFile", ControlKind::Frame, nullptr, 6360, 600, 2772, 2172, ControlFont::Default},
    {"cbDelFile", ControlKind::Button, "FrameFile", 120, 1440, 1812, 492, ControlFont::Default},
    {"cbRenFile", ControlKind::Button, "FrameFile", 120, 840, 1812, 492, ControlFont::Default},
    {"cbCrFile", ControlKind::Button, "FrameFile", 120, 240, 1812, 492, ControlFont::Default},
    {"FrameAllFiles", ControlKind::Frame, nullptr, 6360, 600, 2772, 2172, ControlFont::Default},
    {"cbRenAll", ControlKind::Button, "FrameAllFiles", 120, 240, 1812, 492, ControlFont::Default},
    {"cbDelAll", ControlKind::Button, "FrameAllFiles", 120, 840, 1812, 492, ControlFont::Default},
    {"TabStrip1", ControlKind::Tabs, nullptr, 6360, 120, 2772, 372, ControlFont::TimesNewRoman9Bold},
    {"Frame2", ControlKind::Frame, nullptr, 4800, 2880, 4332, 732, ControlFont::TimesNewRoman78},
    {"OptDelRec", ControlKind::Option, "Frame2", 120, 240, 2652, 372, ControlFont::TimesNewRoman78},
    {"OptDel", ControlKind::Option, "Frame2", 2880, 240, 1332, 372, ControlFont::TimesNewRoman78},
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

} // namespace app
