#pragma once

#include <QString>

// The tool's two output streams, written line by line in UTF-8 and flushed at once, so that
// what it prints keeps its order when both streams go to one terminal or log.
namespace Console {

// Prints the text and a line end on standard output.
void out(const QString &text);
// Prints the text and a line end on standard error.
void err(const QString &text);
// Prints "hvsftp: " and the text on standard error: what went wrong.
void error(const QString &text);

} // namespace Console
