#pragma once

#include <QByteArray>

// Writing a reply into a caller's buffer: at most `size` bytes including the closing NUL,
// never a broken UTF-8 character, and for listings never a broken line.
namespace ReplyText {

// Copies as much of the text as fits, cut before a partial UTF-8 character.
void write(char *buffer, int size, const QByteArray &text);
// Copies the lines (each ending in CR LF) that fit whole.
void writeWholeLines(char *buffer, int size, const QByteArray &lines);
// Copies the whole text into a buffer from malloc() of *size bytes (or none), enlarging it
// with realloc() when the text and its NUL do not fit. False, with the buffer untouched, when
// it cannot be enlarged.
bool writeGrowing(char **buffer, size_t *size, const QByteArray &text);

} // namespace ReplyText
