#pragma once

#include "operations/FileListModel.h"

#include <QList>
#include <QString>

// Reads the local folder the local list shows: every file the upload filter allows as a row,
// or, for a path that names one file, that file alone, already checked. An unfinished
// download's partial and its note are never listed.
class LocalFolderListing
{
public:
    struct Result
    {
        bool listed = false; // false when the folder cannot be read
        QList<FileRow> rows;
        int preselected = -1; // the row of the name to preselect, or -1
    };

    // path: a DOS folder ending in "\" followed by a file name, "*", "*.*" or nothing.
    // checkAll: check-all is in force, so every row comes checked.
    static Result read(const QString &path, const QString &nameToPreselect, bool checkAll);

    // The row of a list made for one named file: the size as a plain number and the date in
    // the runtime's default text form ("3/14/2007 9:05:07 AM").
    static FileRow namedFileRow(const QString &name, qint64 size, const QDateTime &modified);
};
