#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The Windows code page 1252 ("Western European"), which the catalogue files declare and which
// old servers use for names. It is Latin-1 except for 0x80..0x9F, where it holds typographic
// characters (€, quotes, dashes, ...); the five bytes it leaves undefined there (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control characters of the same value, as Windows does.
namespace Platform::Windows1252 {

// Every byte gives one character; nothing is ever invalid.
QString decode(QByteArrayView bytes);

// The text in the code page. A character outside it becomes a numeric character reference of
// its full code point ("&#8364;" style; a surrogate pair gives one reference, a lone surrogate
// the replacement character's), so that nothing is lost in an HTML or XML file. Markup
// characters ('&', '<', ...) are left to the caller to escape.
QByteArray encodeWithCharacterReferences(QStringView text);

// True when the character has a byte of its own in the code page (never for a surrogate).
bool canEncode(QChar c);

} // namespace Platform::Windows1252
