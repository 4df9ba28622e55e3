#pragma once

#include <QDateTime>
#include <QString>

namespace Ftp {

// One entry of a server folder listing, as the engine reports it.
struct Entry
{
    QString name;       // without folder part
    qint64 size = 0;    // full 64-bit size
    QDateTime modified; // UTC; invalid when the server gave no time
    bool isDirectory = false;
    // A symbolic link; the listing does not say what it points to, so it is not taken for a
    // folder.
    bool isSymlink = false;
};

} // namespace Ftp
