#include "platform/DosPath.h"

#include "platform/Prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include <dirent.h>

namespace Platform::DosPath {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The entry of a folder whose name matches without regard to case; of several, the first in
// the order of their characters; empty when none does. The folder is read as it lies, with no
// sort and no file information: a copy into a folder of many thousand files looks here for
// every file that is not there yet.
QString caseInsensitiveEntry(const QString &folder, const QString &name)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> entries(
        opendir(QFile::encodeName(folder).constData()), closedir);
    if (!entries)
        return {};
    QString found;
    while (const dirent *entry = readdir(entries.get())) {
        const QString entryName = QFile::decodeName(entry->d_name);
        // "." and ".." match no component: the path's own are applied before.
        if (entryName.compare(name, Qt::CaseInsensitive) == 0 &&
            (found.isEmpty() || entryName < found))
            found = entryName;
    }
    return found;
}

// The path with "." steps dropped and ".." steps applied, never above the drive's root.
QStringList normalisedComponents(QStringView rest)
{
    QStringList components;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && !isSeparator(rest.at(i)))
            continue;
        const QString part = rest.mid(start, i - start).toString();
        start = i + 1;
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!components.isEmpty())
                components.removeLast();
            continue;
        }
        components.append(part);
    }
    return components;
}

// Length of the drive target that holds the path (as a prefix of whole components); -1 when
// it does not hold it.
qsizetype holdingLength(const QString &path, const QString &target)
{
    if (target == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/')) ? 1 : -1;
    if (path == target || path.startsWith(target + QLatin1Char('/')))
        return target.size();
    return -1;
}

} // namespace

bool isAbsolute(const QString &dosPath)
{
    if (dosPath.size() < 2 || dosPath.at(1) != QLatin1Char(':'))
        return false;
    const QChar letter = dosPath.at(0).toLower();
    if (letter < QLatin1Char('a') || letter > QLatin1Char('z'))
        return false;
    return dosPath.size() == 2 || isSeparator(dosPath.at(2));
}

QString withSeparator(const QString &dosFolder)
{
    return dosFolder.endsWith(QLatin1Char('\\')) ? dosFolder : dosFolder + QLatin1Char('\\');
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char('/')) &&
           !name.contains(QChar(0));
}

QString toLinux(const QString &dosPath)
{
    if (!isAbsolute(dosPath))
        return {};
    QString current = Prefix::driveTarget(dosPath.at(0));
    if (current.isEmpty())
        return {};

    bool walking = true; // false once a component does not exist: the rest is kept as written
    const QStringList components = normalisedComponents(QStringView(dosPath).mid(2));
    for (const QString &component : components) {
        const QString exact = joined(current, component);
        if (!walking || QFileInfo::exists(exact) || QFileInfo(exact).isSymLink()) {
            current = exact;
            continue;
        }
        const QString match = caseInsensitiveEntry(current, component);
        if (match.isEmpty()) {
            walking = false;
            current = exact;
        } else {
            current = joined(current, match);
        }
    }
    if (isSeparator(dosPath.back()) && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    return current;
}

QString toDos(const QString &linuxPath)
{
    if (!linuxPath.startsWith(QLatin1Char('/')))
        return {};
    const QString path = QDir::cleanPath(linuxPath);
    const QString canonical = QFileInfo(path).canonicalFilePath();

    QChar bestLetter;
    qsizetype bestLength = -1;
    QString bestPath;
    const QString letters = Prefix::driveLetters();
    for (const QChar letter : letters) {
        const QString target = Prefix::driveTarget(letter);
        if (target.isEmpty())
            continue;
        const QString canonicalTarget = QFileInfo(target).canonicalFilePath();
        // Compare the path as given with the link's target, and the resolved path with the
        // resolved target, so links on either side do not hide a drive.
        const std::pair<QString, QString> pairs[] = {{path, target}, {canonical, canonicalTarget}};
        for (const auto &[candidate, root] : pairs) {
            if (candidate.isEmpty() || root.isEmpty())
                continue;
            const qsizetype length = holdingLength(candidate, root);
            if (length > bestLength) {
                bestLength = length;
                bestLetter = letter;
                bestPath = candidate.mid(root == QLatin1String("/") ? 0 : length);
            }
        }
    }
    if (bestLength < 0)
        return {};

    QString rest = bestPath;
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!rest.startsWith(QLatin1Char('\\')))
        rest.prepend(QLatin1Char('\\'));
    if (linuxPath.endsWith(QLatin1Char('/')) && !rest.endsWith(QLatin1Char('\\')))
        rest += QLatin1Char('\\');
    return bestLetter.toUpper() + QLatin1Char(':') + rest;
}

} // namespace Platform::DosPath
