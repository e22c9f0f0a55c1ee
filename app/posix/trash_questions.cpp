#include "trash_questions.h"

#include "captions.h"
#include "warning_box.h"

#include "path_text.h"
#include "shown_text.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtGui/QTextLayout>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QStyle>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace app {

namespace {

// Shows the normal arrow over a question even while a command shows the busy cursor.
class ArrowCursor {
public:
    ArrowCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QGuiApplication::restoreOverrideCursor(); }
};

// Plain text wrapped at the widget's width: between words where it can, inside a long word
// where it must, so that a whole name or path is shown however long it is. The accessible name
// holds the whole text.
class WrappedText final : public QWidget {
public:
    WrappedText(const QString& text, QWidget* parent) : QWidget(parent), layout_(text)
    {
        setAccessibleName(text);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout_.setTextOption(option);
    }

    // Layouts ask again and again for a few widths, and every line breaking shapes the text anew.
    int heightForWidth(int width) const override
    {
        measure();
        if (width >= textWidth_)
            return lineHeight_;
        const auto known = heights_.find(width);
        return known != heights_.end() ? known->second : heights_[width] = layOut(width);
    }

    // As wide as the text up to a comfortable line length; longer texts wrap.
    QSize sizeHint() const override
    {
        measure();
        const int width = std::min(textWidth_, fontMetrics().averageCharWidth() * 60);
        return {width, heightForWidth(width)};
    }

    QSize minimumSizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.averageCharWidth() * 8, metrics.height()};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (laidOutWidth_ != width())
            layOut(width());
        QPainter painter(this);
        layout_.draw(&painter, QPointF(0, 0));
    }

    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange) {
            heights_.clear();
            textWidth_ = laidOutWidth_ = -1;
            updateGeometry();
        }
        QWidget::changeEvent(event);
    }

private:
    // The width and height of the text on one line.
    void measure() const
    {
        if (textWidth_ >= 0)
            return;
        lineHeight_ = layOut(unbounded);
        const qreal width = layout_.lineCount() ? layout_.lineAt(0).naturalTextWidth() : 0;
        textWidth_ = static_cast<int>(std::ceil(width));
    }

    // Breaks the text into lines no wider than width; returns their height.
    int layOut(int width) const
    {
        layout_.setFont(font());
        layout_.beginLayout();
        qreal height = 0;
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout_.endLayout();
        laidOutWidth_ = width;
        return static_cast<int>(std::ceil(height));
    }

    static constexpr int unbounded = 1'000'000;  // wider than any name or path
    mutable QTextLayout layout_;
    mutable int laidOutWidth_ = -1;
    mutable int textWidth_ = -1;
    mutable int lineHeight_ = 0;
    mutable std::map<int, int> heights_;  // by width
};

// The question's texts in a scrolling area: a long name or path scrolls instead of pushing the
// dialog and its buttons off the screen.
QScrollArea* scrolledTexts(const QStringList& texts, QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    // Given to the area while empty: texts taken in at once would be wrapped at the area's
    // default width before the dialog has any size, only to be wrapped again.
    area->setWidget(new QWidget);
    auto* layout = new QVBoxLayout(area->widget());
    layout->setContentsMargins(0, 0, 0, 0);
    for (const QString& text : texts)
        layout->addWidget(new WrappedText(text, area->widget()));
    layout->addStretch();
    return area;
}

// The answer that stops the whole walk.
constexpr int stopAnswer = 2;

// Fills a new dialog with the question about one file; Yes is the default button, Esc answers No.
// Within a walk over many files, Stop ends the walk.
void buildQuestion(QDialog& dialog, const TrashTexts& texts, const QString& name,
                   const QString& folder, bool stoppable)
{
    dialog.setObjectName("TrashQuestion");
    dialog.setWindowTitle(QString::fromUtf8(texts.questionTitle));
    dialog.setMaximumSize(ScreenRoom(dialog.parentWidget()));
    auto* icon = new QLabel(&dialog);
    const int size = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(dialog.style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size));
    const QStringList lines{QString::fromUtf8(texts.question).arg(name), folder};
    QScrollArea* question = scrolledTexts(lines, &dialog);
    dialog.setAccessibleDescription(lines.join(QLatin1Char('\n')));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, &dialog);
    QPushButton* yes = buttons->button(QDialogButtonBox::Yes);
    yes->setText(QString::fromUtf8(texts.yes));
    buttons->button(QDialogButtonBox::No)->setText(QString::fromUtf8(texts.no));
    yes->setDefault(true);
    yes->setFocus();
    if (stoppable) {
        QPushButton* stop = buttons->addButton(QString::fromUtf8(texts.stop),
                                               QDialogButtonBox::DestructiveRole);
        stop->setObjectName("Stop");
        stop->setAutoDefault(false);
        QObject::connect(stop, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(stopAnswer); });
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QGridLayout(&dialog);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(question, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
}

} // namespace

const TrashTexts& TrashQuestions::Texts() const
{
    return window_.RussianShown() ? russianTrashTexts : englishTrashTexts;
}

bool TrashQuestions::ConfirmTrash(const std::filesystem::path& file)
{
    // A dialog of its own for every question, gone with its native window once answered.
    QDialog question(window_.AskOver());
    const bool stoppable = window_.WalkProgress().Walking();
    buildQuestion(question, Texts(), ShownName(file.filename()), ShownName(file.parent_path()),
                  stoppable);
    const ArrowCursor arrow;
    window_.WaitForPerson(true);
    const int answer = question.exec();
    window_.WaitForPerson(false);
    if (answer == stopAnswer)
        window_.WalkProgress().Stop();
    return answer == QDialog::Accepted;
}

void TrashQuestions::ReportFileReplaced(const std::filesystem::path& file)
{
    ReportNotMoved(Texts().replaced, file);
}

void TrashQuestions::ReportFolderMoved(const std::filesystem::path& file)
{
    ReportNotMoved(Texts().folderMoved, file);
}

void TrashQuestions::ReportNotMoved(const char* why, const std::filesystem::path& file)
{
    ShowWarningBox(window_.AskOver(), QString::fromUtf8(Texts().failureTitle),
                   QString::fromUtf8(why).arg(ShownName(file)), QStringLiteral("TrashFailure"));
}

void TrashQuestions::ReportTrashFailure(const std::filesystem::path& file, const std::string& reason)
{
    const TrashTexts& texts = Texts();
    ShowWarningBox(window_.AskOver(), QString::fromUtf8(texts.failureTitle),
                   QString::fromUtf8(texts.failure)
                       .arg(ShownName(file), ShownText(QString::fromUtf8(reason.c_str()))),
                   QStringLiteral("TrashFailure"));
}

} // namespace app
