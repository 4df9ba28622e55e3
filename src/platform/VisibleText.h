#pragma once

#include <QString>

// Names from a server or a disk as people are shown them. Some characters show nothing of
// themselves, or change how the text around them shows: a right-to-left override makes
// "invoice<U+202E>fdp.exe" read "invoiceexe.pdf", a zero-width space makes two names that
// read alike, a control character is a command to a terminal. Written out visibly they fool
// nobody. Only what is shown changes: the name itself stays what it is.
namespace Platform::VisibleText {

// Whether a character shows nothing of itself or changes how the text around it shows: the
// control characters (C0, DEL, C1), Unicode's format characters (category Cf: the bidi marks,
// embeddings, overrides and isolates, the zero-width space, joiners and word joiner, the soft
// hyphen, the byte order mark, the invisible operators, the tag characters...), the line and
// paragraph separators, and a surrogate without its pair.
bool isHidden(char32_t c);

// The text with each hidden character written visibly: a control character as \xHH (two
// lower-case hex digits, \x1b), any other as \u{XXXX} (upper-case, at least four digits,
// \u{202E}). A text without one comes back as it is.
QString escaped(const QString &text);

} // namespace Platform::VisibleText
