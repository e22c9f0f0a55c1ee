#include "shown_text.h"

#include "path_text.h"

namespace app {

namespace {

bool Disguises(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069) || c == 0x200e ||
           c == 0x200f || c == 0x061c;
}

} // namespace

QString ShownText(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown)
        if (Disguises(c.unicode()))
            c = QChar::ReplacementCharacter;
    return shown;
}

QString ShownName(const std::filesystem::path& name) { return ShownText(DisplayName(name)); }

} // namespace app
