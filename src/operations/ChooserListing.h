#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The files of one local folder as the chooser lists them: those matching its pattern, shown
// newest first by the day they were last changed, the files of one day in descending name
// order.
struct ChooserListing
{
    QStringList shown;
    // False when the folder does not exist, or cannot be read (then the user was told why).
    bool listed = false;

    // dosFolder: the folder, with or without its trailing "\"; pattern: "*.txt", "*.*", or
    // several patterns separated by ";", matched without regard to case.
    static ChooserListing read(const QString &dosFolder, const QString &pattern);

    // A file size as the chooser shows it, in decimal units: "1 MB" from 1,000,000 bytes,
    // "1,000 KB" from 999,999, "999 Bytes".
    static QString sizeText(qint64 bytes);
    // The date a file was last changed as the chooser shows it: "2007-Mar-14 09:05:00 AM".
    static QString dateText(const QDateTime &modified);
};
