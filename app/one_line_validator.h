#pragma once

#include <QtGui/QValidator>

namespace app {

// Keeps a line edit's text on one line, as the platform's single-line edit on Windows does:
// of text pasted, dropped or typed, what follows its first line break is dropped. Every other
// character, tabs included, stays as it came.
class OneLineValidator final : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

} // namespace app
