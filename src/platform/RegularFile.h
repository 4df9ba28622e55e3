#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Platform {

// The content of a settings file: empty for a missing one, nullopt for one that is there but
// cannot be read. Only a regular file is read: a pipe in its place would hold the open until
// someone writes to it, and a device might never end.
std::optional<QByteArray> readRegularFile(const QString &path);

} // namespace Platform
