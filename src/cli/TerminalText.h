#pragma once

#include <QString>

// Texts from a server on the terminal. A server chooses its file names and the words of its
// replies, and a control character in them would reach the terminal as a command of its own.
class TerminalText
{
public:
    // Control characters (C0, DEL and C1) written as \xHH, the rest as it is: for messages.
    static QString printable(const QString &text);
    // Also "\" and "|" written as \x5c and \x7c: a field of a line that "|" divides, which
    // then always has as many fields as it should.
    static QString field(const QString &text);
};
