#include "warning_box.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QWidget>

#include <algorithm>

namespace app {

namespace {

// The text with every word wider than width shortened in its middle. A message box breaks lines
// only between words, so one long path would make it wider than the screen.
QString WithLongWordsElided(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList words = text.split(QLatin1Char(' '));
    for (QString& word : words)
        if (metrics.horizontalAdvance(word) > width)
            word = metrics.elidedText(word, Qt::ElideMiddle, width);
    return words.join(QLatin1Char(' '));
}

} // namespace

QSize ScreenRoom(const QWidget* owner)
{
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    QSize room = screen->availableGeometry().size();
    if (owner && owner->window()->isVisible())
        room -= owner->window()->frameGeometry().size() - owner->window()->geometry().size();
    return room;
}

void ShowWarningBox(QWidget* owner, const QString& title, const QString& text,
                    const QString& objectName)
{
    QMessageBox box(QMessageBox::Warning, title, QString(), QMessageBox::Ok, owner);
    box.setObjectName(objectName);
    box.setTextFormat(Qt::PlainText);
    const QFontMetrics metrics = box.fontMetrics();
    const int longestWord = std::min(metrics.averageCharWidth() * 40, ScreenRoom(owner).width() / 2);
    const QString shown = WithLongWordsElided(text, metrics, longestWord);
    box.setText(shown);
    if (shown != text)
        box.setDetailedText(text);  // the whole text, where it wraps anywhere and scrolls
    // A screen reader reads the whole text, not the shortened one.
    box.setAccessibleDescription(text);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setAccessibleName(text);
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

} // namespace app
