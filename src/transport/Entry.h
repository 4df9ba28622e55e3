#pragma once

#include <QByteArray>
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
    // The name as the server listed it, where that is not UTF-8 (the name was then read as
    // Windows-1252, and written back as UTF-8 it would name no file); empty otherwise.
    QByteArray rawName;
};

} // namespace Ftp
