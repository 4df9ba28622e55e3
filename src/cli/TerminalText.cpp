#include "cli/TerminalText.h"

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

QString escaped(const QString &text, bool field)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (isControl(code) || (field && (code == u'\\' || code == u'|')))
            result += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

} // namespace

QString TerminalText::printable(const QString &text)
{
    return escaped(text, false);
}

QString TerminalText::field(const QString &text)
{
    return escaped(text, true);
}
