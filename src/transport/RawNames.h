#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace Ftp {

// Names a server gave in bytes that are not UTF-8, by the text they were read as (see
// NameCodec), so that a path naming them goes back to the server in the bytes it came in:
// written as UTF-8 it would name no file.
class RawNames
{
public:
    // Remembers a name; one that is UTF-8 needs nothing remembered.
    void remember(const QByteArray &name);
    // Remembers each name along a path ("/home/caf\xe9/docs").
    void rememberPath(const QByteArray &path);
    // The path in the server's bytes: UTF-8, but each remembered name in its own bytes.
    QByteArray encode(const QString &path) const;
    void clear() { m_bytes.clear(); }

private:
    QHash<QString, QByteArray> m_bytes;
};

} // namespace Ftp
