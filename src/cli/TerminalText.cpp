#include "cli/TerminalText.h"

#include "platform/VisibleText.h"

QString TerminalText::printable(const QString &text)
{
    return Platform::VisibleText::escaped(text);
}

QString TerminalText::field(const QString &text)
{
    // The separators go first: the escapes that follow bring in "\" of their own.
    QString separated = text;
    separated.replace(QLatin1Char('\\'), QLatin1String("\\x5c"))
        .replace(QLatin1Char('|'), QLatin1String("\\x7c"));
    return Platform::VisibleText::escaped(separated);
}
