#include "one_line_validator.h"

#include <algorithm>

namespace app {

namespace {

bool IsLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\u0085' || c == u'\u2028' || c == u'\u2029';
}

} // namespace

// The text held no line break before the edit, and the edit left the cursor at the end of
// what it put in: the line break is in that, and the rest of it goes.
QValidator::State OneLineValidator::validate(QString& input, int& position) const
{
    const auto lineBreak = std::find_if(input.cbegin(), input.cend(), IsLineBreak);
    if (lineBreak == input.cend())
        return Acceptable;
    const int cut = static_cast<int>(lineBreak - input.cbegin());
    const int end = position > cut ? std::min(position, static_cast<int>(input.size()))
                                   : static_cast<int>(input.size());
    input.remove(cut, end - cut);
    position = cut;
    return Acceptable;
}

} // namespace app
