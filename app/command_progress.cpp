#include "command_progress.h"

#include "captions.h"
#include "path_text.h"
#include "shown_text.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLocale>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QProgressDialog>

#include <filesystem>

namespace app {

namespace {

// The progress bar's steps: a fraction, as a folder's file count need not fit an int.
constexpr int barSteps = 1000;

QString WorkText(const ProgressTexts& texts, commands::Work work)
{
    switch (work) {
    case commands::Work::DeletingFiles: return QString::fromUtf8(texts.deletingFiles);
    case commands::Work::RenamingFiles: return QString::fromUtf8(texts.renamingFiles);
    case commands::Work::DeletingFolder: return QString::fromUtf8(texts.deletingFolder);
    case commands::Work::RestoringFiles: return QString::fromUtf8(texts.restoringFiles);
    }
    return {};
}

} // namespace

CommandProgress::CommandProgress(QWidget* window, std::function<bool()> russian)
    : window_(window), russian_(std::move(russian))
{
}

CommandProgress::~CommandProgress() { delete dialog_; }

void CommandProgress::SetTiming(std::chrono::milliseconds turnEvery,
                                std::chrono::milliseconds showAfter)
{
    turnEvery_ = turnEvery;
    showAfter_ = showAfter;
}

void CommandProgress::Begin()
{
    running_ = true;
    started_ = Clock::now();
    Restart(turnEvery_);
}

void CommandProgress::End()
{
    running_ = false;
    delete dialog_;
    // The rest of a walk since its last turn, and the lists' read that follows, each get a
    // turn of their own.
    if (Walking())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool CommandProgress::Russian() const { return russian_ && russian_(); }

const ProgressTexts& CommandProgress::Texts() const
{
    return Russian() ? russianProgressTexts : englishProgressTexts;
}

void CommandProgress::Turn(const commands::WorkStep& step)
{
    const bool showNow = !dialog_ && Clock::now() - started_ >= showAfter_;
    if (showNow)
        MakeDialog();
    if (dialog_)
        ShowStep(step);
    if (showNow)
        dialog_->show();  // sized for the step's three lines
    Breathe();
}

// Until the dialog blocks the window's input, none is taken in: a click waits for the end.
// The dialog, where it shows, keeps the step that it showed last.
void CommandProgress::Breathe()
{
    QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
}

void CommandProgress::MakeDialog()
{
    const ProgressTexts& texts = Texts();
    auto* dialog = new QProgressDialog(window_);
    dialog->setObjectName(QStringLiteral("CommandProgress"));
    dialog->setWindowTitle(QStringLiteral("FF Name"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    label_ = new QLabel(dialog);
    label_->setTextFormat(Qt::PlainText);  // names from the disk are never markup
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label_->setFixedWidth(label_->fontMetrics().averageCharWidth() * 50);
    dialog->setLabel(label_);
    bar_ = new QProgressBar(dialog);
    bar_->setAccessibleName(QString::fromUtf8(texts.bar));
    dialog->setBar(bar_);
    // The dialog's own button, renamed: a button set in its place leaves Esc with two
    // shortcuts in Qt 6.4, and Esc then cancels nothing.
    dialog->setCancelButtonText(QString::fromUtf8(texts.cancel));
    // Cancel, Esc, and closing the dialog any other way all stop the walk.
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [this] { Stop(); });
    QObject::connect(dialog, &QDialog::finished, dialog, [this] { Stop(); });
    dialog_ = dialog;
}

// What is being done, how far it has got, and the name of the entry it is at, shortened in
// its middle to the dialog's width.
void CommandProgress::ShowStep(const commands::WorkStep& step)
{
    const ProgressTexts& texts = Texts();
    const QLocale locale(Russian() ? QLocale::Russian : QLocale::English);
    QString count;
    if (step.total) {
        count = QString::fromUtf8(texts.filesDone)
                    .arg(locale.toString(qulonglong(step.done)),
                         locale.toString(qulonglong(step.total)));
        bar_->setRange(0, barSteps);
        bar_->setValue(int(step.done * barSteps / step.total));
    } else {
        count = QString::fromUtf8(texts.itemsDeleted).arg(locale.toString(qulonglong(step.done)));
        bar_->setRange(0, 0);  // no end known: the bar shows that work goes on
    }
    const std::filesystem::path name =
        step.work == commands::Work::DeletingFolder
            ? std::filesystem::path(step.folder) / std::filesystem::path(step.name)
            : std::filesystem::path(step.name);
    const QString whole = ShownName(name);
    const QString head = WorkText(texts, step.work) + QLatin1Char('\n') + count + QLatin1Char('\n');
    label_->setText(head + label_->fontMetrics().elidedText(whole, Qt::ElideMiddle, label_->width()));
    label_->setAccessibleName(head + whole);  // the whole name, not the shortened one
}

} // namespace app
