#include "operations/ChooserListing.h"

#include "operations/NotListed.h"
#include "platform/DosPath.h"
#include "platform/FileSystemObject.h"
#include "platform/NumberText.h"

#include <QDir>
#include <QLocale>

#include <algorithm>
#include <cmath>

ChooserListing ChooserListing::read(const QString &dosFolder, const QString &pattern)
{
    ChooserListing listing;
    const QString linuxFolder =
        Platform::DosPath::toLinux(Platform::DosPath::withSeparator(dosFolder));
    QDir folder(linuxFolder);
    if (linuxFolder.isEmpty() || !folder.exists())
        return listing;
    folder.setNameFilters(pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    folder.setFilter(QDir::Files);
    folder.setSorting(QDir::Unsorted);

    // One stat per file, made by the listing itself; the sort key is the day and the name.
    struct Entry
    {
        QString key; // "yyyy-MM-dd name"
        qsizetype nameAt;
    };
    std::vector<Entry> entries;
    const QFileInfoList files = folder.entryInfoList();
    // An empty listing may be a folder the user may not read: it says why instead.
    if (files.isEmpty()) {
        if (const QString why = Platform::FsoFolder(dosFolder).readError(); !why.isEmpty()) {
            TellNotListed(why);
            return listing;
        }
    }
    listing.listed = true;
    entries.reserve(files.size());
    for (const QFileInfo &file : files) {
        // A DOS path would read a "\" in a name as a folder's end, and name another file.
        if (!Platform::DosPath::isPlainName(file.fileName()))
            continue;
        const QString day = file.lastModified().toString(QStringLiteral("yyyy-MM-dd"));
        entries.push_back({day + QLatin1Char(' ') + file.fileName(), day.size() + 1});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.key.compare(b.key, Qt::CaseInsensitive) > 0;
    });
    listing.shown.reserve(qsizetype(entries.size()));
    for (const Entry &entry : entries)
        listing.shown.append(entry.key.mid(entry.nameAt));
    return listing;
}

QString ChooserListing::sizeText(qint64 bytes)
{
    using Platform::NumberText::grouped;
    if (bytes > 999999)
        return grouped(qint64(std::llround(bytes / 1e6))) + QStringLiteral(" MB");
    if (bytes > 999)
        return grouped(qint64(std::llround(bytes / 1e3))) + QStringLiteral(" KB");
    return grouped(bytes) + QStringLiteral(" Bytes");
}

QString ChooserListing::dateText(const QDateTime &modified)
{
    // The month's short name in English, as the chooser has always shown it.
    return QLocale::c().toString(modified.toLocalTime(), QStringLiteral("yyyy-MMM-dd hh:mm:ss AP"));
}
