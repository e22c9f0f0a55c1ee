#include "tab_strip.h"

#include <QtWidgets/QProxyStyle>

namespace app {

namespace {

// The application's style with a quarter of its horizontal padding in tabs.
class CompactTabsStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 4 : value;
    }
};

} // namespace

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent)
{
    auto* style = new CompactTabsStyle;
    style->setParent(this);
    setStyle(style);
}

} // namespace app
