#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Platform {

// Opens a regular file with the open(2) flags given (O_NOFOLLOW among them refuses a link),
// without waiting on what is no regular file: a pipe nobody writes to would hold a plain open
// for good. The descriptor, blocking again; -1 when the file cannot be opened (errno says why)
// or is no regular file (errno is 0).
int openRegularFile(const QString &path, int flags);

// The content of a settings file: empty for a missing one, nullopt for one that is there but
// cannot be read. Only a regular file is read: a pipe in its place would hold the open until
// someone writes to it, and a device might never end.
std::optional<QByteArray> readRegularFile(const QString &path);

} // namespace Platform
