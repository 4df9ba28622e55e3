#include "cli/TerminalText.h"

#include "platform/VisibleText.h"

#include <algorithm>

QString TerminalText::printable(const QString &text)
{
    return Platform::VisibleText::escaped(text);
}

QString TerminalText::field(const QString &text)
{
    // Most names are printable ASCII without a separator, which needs no escape: they go as
    // they are, shared, without being looked through for every kind of escape.
    const auto plain = [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7f && c != u'\\' && c != u'|';
    };
    if (std::all_of(text.begin(), text.end(), plain))
        return text;
    // The separators go first: the escapes that follow bring in "\" of their own.
    QString separated = text;
    separated.replace(QLatin1Char('\\'), QLatin1String("\\x5c"))
        .replace(QLatin1Char('|'), QLatin1String("\\x7c"));
    return Platform::VisibleText::escaped(separated);
}
