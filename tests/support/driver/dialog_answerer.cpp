#include "dialog_answerer.h"

#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressDialog>
#include <QtWidgets/QPushButton>

#include <algorithm>

namespace driver {
namespace {

constexpr const char* pending = "ffnameAnswerPending";

QStringList AccessibleNames(const QWidget& dialog)
{
    QStringList texts;
    for (const QWidget* child : dialog.findChildren<QWidget*>())
        if (!child->accessibleName().isEmpty())
            texts << child->accessibleName();
    return texts;
}

QString TextOf(const QDialog& dialog, bool looks)
{
    if (auto* box = qobject_cast<const QMessageBox*>(&dialog))
        return box->text();
    return looks ? AccessibleNames(dialog).join(QLatin1Char('\n')) : QString();
}

// Whether the dialog's frame lies inside its screen's available area, with each of its buttons
// shown whole inside it.
bool FitsItsScreen(const QWidget& dialog)
{
    const QRect room = dialog.screen()->availableGeometry();
    const auto* box = dialog.findChild<QDialogButtonBox*>();
    if (!room.contains(dialog.frameGeometry()) || !box || box->buttons().isEmpty())
        return false;
    for (const QAbstractButton* button : box->buttons())
        if (!button->isVisible() || button->visibleRegion().boundingRect() != button->rect() ||
            !room.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
            return false;
    return true;
}

// Whether a label shows all of its text: no word wider than the label, no line below it.
bool ShowsAllItsText(const QLabel& label)
{
    return label.minimumSizeHint().width() <= label.width() &&
           (!label.hasHeightForWidth() || label.heightForWidth(label.width()) <= label.height());
}

SeenDialog Look(QDialog& dialog)
{
    SeenDialog seen{dialog.objectName(), {}, dialog.grab().toImage(), dialog.frameGeometry().size()};
    if (auto* box = qobject_cast<const QMessageBox*>(&dialog))
        seen.textFormat = box->textFormat();
    seen.fitsItsScreen = FitsItsScreen(dialog);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
        if (label->isVisible() && !label->text().isEmpty())
            seen.labelsShowAllText = seen.labelsShowAllText && ShowsAllItsText(*label);
    }
    seen.text = (texts + AccessibleNames(dialog)).join(QLatin1Char('\n'));
    return seen;
}

} // namespace

DialogAnswerer::DialogAnswerer(std::initializer_list<QMessageBox::StandardButton> answers)
    : answers_(answers)
{
    qApp->installEventFilter(this);
}

DialogAnswerer::DialogAnswerer(Keys keys) : keys_(std::move(keys.keys))
{
    qApp->installEventFilter(this);
}

DialogAnswerer::~DialogAnswerer() { qApp->removeEventFilter(this); }

void DialogAnswerer::Forget()
{
    texts_.clear();
    names_.clear();
    shownAt_.clear();
    seen_.clear();
}

bool DialogAnswerer::eventFilter(QObject* watched, QEvent* event)
{
    auto* dialog = qobject_cast<QDialog*>(watched);
    // One answer per showing; a dialog may be shown again for the next question.
    if (dialog && event->type() == QEvent::Show && dialog->isModal() &&
        !qobject_cast<QProgressDialog*>(dialog) && !dialog->property(pending).toBool()) {
        dialog->setProperty(pending, true);
        shownAt_.push_back(Clock::now());
        names_.append(dialog->objectName());
        texts_.append(TextOf(*dialog, looks));
        const std::size_t index = std::size_t(texts_.size() - 1);
        QTimer::singleShot(0, dialog, [this, dialog, index] { Answer(*dialog, index); });
    }
    return false;
}

void DialogAnswerer::Answer(QDialog& dialog, std::size_t index)
{
    dialog.setProperty(pending, false);
    if (action_ && index == beforeAnswer_)
        action_();
    if (!dialog.isVisible())
        return;  // the action answered it: a person closed the window, say
    if (looks)
        seen_.push_back(Look(dialog));
    if (keys_.empty())
        ClickAnswer(dialog, index);
    else if (index < keys_.size())
        QTest::keyClick(&dialog, keys_[index]);
}

void DialogAnswerer::ClickAnswer(QDialog& dialog, std::size_t index) const
{
    const QMessageBox::StandardButton answer =
        answers_.empty() ? QMessageBox::Ok : answers_[std::min(index, answers_.size() - 1)];
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QAbstractButton* button =
        buttons ? buttons->button(QDialogButtonBox::StandardButton(int(answer))) : nullptr;
    if (!button && answer == QMessageBox::Abort)  // the Trash question's Stop
        button = dialog.findChild<QPushButton*>(QStringLiteral("Stop"));
    if (button)
        button->click();
    else
        dialog.reject();
}

} // namespace driver
