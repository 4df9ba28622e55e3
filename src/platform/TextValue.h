#pragma once

#include <QString>
#include <QStringView>

// The two text functions of the runtime the control was written against, which every layer
// from the FTP client up uses.

// The numeric value at the start of a text, read the forgiving way the configuration file's
// numbers have always been read: leading blanks are skipped, an optional sign and the digits
// (with an optional decimal fraction) that follow make the number, and reading stops at the
// first other character. A text without a number, the empty text included, is 0.
double Val(QStringView text);

// The text without blanks at either end. Only blanks: tabs and line breaks stay, as the
// control's own trimming has always left them.
QString Trim(const QString &text);
