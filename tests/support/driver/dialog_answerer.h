#pragma once

#include <QtCore/QObject>
#include <QtCore/QStringList>
#include <QtGui/QImage>
#include <QtWidgets/QMessageBox>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <vector>

class QDialog;

namespace driver {

// What one dialog showed when it was answered.
struct SeenDialog {
    QString name;  // its objectName
    QString text;  // its labels' texts and its texts' accessible names
    QImage image;
    QSize size;  // its frame's
    Qt::TextFormat textFormat = Qt::AutoText;  // a message box's; AutoText for other dialogs
    bool fitsItsScreen = false;  // the frame and each button whole inside the available area
    bool labelsShowAllText = true;  // no visible label clips its text
};

// Answers every modal dialog that opens while it lives (message boxes and the Trash question),
// once the dialog's own event loop runs: clicks the next button of its list (the last one again
// once the list is used up), or closes the dialog when it has no such button; or, given keys,
// presses the next key in the dialog. A long command's progress is no question. Keeps each
// dialog's name, text and the time it showed, and what it showed when answered.
class DialogAnswerer final : public QObject {
public:
    using Clock = std::chrono::steady_clock;
    struct Keys {
        std::vector<Qt::Key> keys;
    };

    explicit DialogAnswerer(std::initializer_list<QMessageBox::StandardButton> answers = {
                                QMessageBox::Ok});
    explicit DialogAnswerer(Keys keys);
    ~DialogAnswerer() override;

    // The texts of the dialogs shown, in order: a message box's text, or the accessible names
    // of another dialog's parts.
    const QStringList& texts() const { return texts_; }
    // The dialogs' object names, in order.
    const QStringList& names() const { return names_; }
    const std::vector<Clock::time_point>& shownAt() const { return shownAt_; }
    // What each dialog answered showed, in order.
    const std::vector<SeenDialog>& seen() const { return seen_; }
    void Forget();

    // From now on, every dialog gets this answer.
    void AnswerAlways(QMessageBox::StandardButton answer) { answers_ = {answer}; }

    // Runs the action before the answer of that number (from 0): another program's doings
    // while a question is open. A dialog that the action closed gets no answer.
    void Before(std::size_t answer, std::function<void()> action)
    {
        beforeAnswer_ = answer;
        action_ = std::move(action);
    }
    // Off, only a message box's text is kept and nothing of what a dialog showed: for timing
    // thousands of questions.
    bool looks = true;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Answer(QDialog& dialog, std::size_t index);
    void ClickAnswer(QDialog& dialog, std::size_t index) const;

    std::vector<QMessageBox::StandardButton> answers_;
    std::vector<Qt::Key> keys_;
    QStringList texts_, names_;
    std::vector<Clock::time_point> shownAt_;
    std::vector<SeenDialog> seen_;
    std::size_t beforeAnswer_ = 0;
    std::function<void()> action_;
};

} // namespace driver
