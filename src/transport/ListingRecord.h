#pragma once

#include <QtGlobal>

// What a listing record (cDirList::Add) keeps of a server entry.
namespace ListingRecord {

// The Windows file attribute bits of a folder and of a file.
inline constexpr qint32 DirectoryAttributes = 0x10;
inline constexpr qint32 NormalAttributes = 0x80;

// The low 32 bits of a size: records keep sizes in 32 bits, as the control always has.
inline qint32 fileSize(qint64 size)
{
    return static_cast<qint32>(static_cast<quint32>(size));
}

} // namespace ListingRecord
