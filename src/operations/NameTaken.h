#pragma once

#include <QString>

// What the user is told when a rename would give a file the name another file already has:
// a rename never replaces a file, on the server or on the disk.
namespace NameTaken {

QString onServer(const QString &name);
QString locally(const QString &name);

} // namespace NameTaken
