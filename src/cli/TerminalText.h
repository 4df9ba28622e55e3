#pragma once

#include <QString>

// Texts from a server on the terminal. A server chooses its file names and the words of its
// replies: a control character in them would reach the terminal as a command of its own, and a
// bidi or zero-width character would make a name read as another.
class TerminalText
{
public:
    // Control characters written as \xHH and the other hidden characters (bidi controls,
    // zero-width and other format characters) as \u{XXXX}, as VisibleText writes them; the
    // rest as it is: for messages.
    static QString printable(const QString &text);
    // Also "\" and "|" written as \x5c and \x7c: a field of a line that "|" divides, which
    // then always has as many fields as it should.
    static QString field(const QString &text);
};
