#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Names of server files on the wire. We send UTF-8; servers that predate it send their own
// 8-bit names, which on the servers our users meet are almost always Windows-1252.
namespace Ftp::NameCodec {

// Valid UTF-8 is read as UTF-8 (a leading byte order mark stays part of the name); anything
// else is read as Windows-1252, so that no name becomes unreadable or collapses into another.
QString decode(QByteArrayView bytes);

// A text of lines, each read as decode reads a name: one line in Windows-1252 leaves the
// others, which may be UTF-8, as they are.
QString decodeLines(QByteArrayView bytes);

// The name in UTF-8.
QByteArray encode(QStringView name);

// Whether the bytes are valid UTF-8, and so read back as they are written.
bool isUtf8(QByteArrayView bytes);

} // namespace Ftp::NameCodec
