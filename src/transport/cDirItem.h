#pragma once

#include <QString>

// One entry of a server folder listing, as the windows and the catalogue read it: the
// entry's Windows attribute bits as Booleans, its dates as local automation dates (days since
// 30 December 1899) and the low 32 bits of its size. All fields are public and writable.
struct cDirItem
{
    bool ReadOnly = false;   // attribute bit 0x1
    bool Hidden = false;     // 0x2
    bool System = false;     // 0x4
    bool Directory = false;  // 0x10: the entry is a folder
    bool Archive = false;    // 0x20
    bool Normal = false;     // 0x80
    bool Temporary = false;  // 0x100
    bool Compressed = false; // 0x800
    bool Offline = false;    // 0x1000
    double CreationTime = 0.0;
    double LastAccessTime = 0.0;
    double LastWriteTime = 0.0; // the date the windows show
    qint32 FileSize = 0;
    QString Filename; // without folder part
};
