#include "platform/FileSystemObject.h"

#include "platform/DosPath.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

namespace Platform {

namespace {

QFileInfo infoOf(const QString &dosPath)
{
    const QString linuxPath = DosPath::toLinux(dosPath);
    return linuxPath.isEmpty() ? QFileInfo() : QFileInfo(linuxPath);
}

} // namespace

FsoFile::FsoFile(const QString &dosPath)
    : m_dosPath(dosPath)
    , m_linuxPath(DosPath::toLinux(dosPath))
{}

QString FsoFile::Name() const
{
    return QFileInfo(m_linuxPath).fileName();
}

qint64 FsoFile::Size() const
{
    return QFileInfo(m_linuxPath).size();
}

QDateTime FsoFile::DateLastModified() const
{
    return QFileInfo(m_linuxPath).lastModified();
}

int FsoFile::Attributes() const
{
    const QFileInfo info(m_linuxPath);
    int attributes = Normal;
    if (!(info.permissions() & QFile::WriteOwner))
        attributes |= ReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.')))
        attributes |= Hidden;
    if (info.isDir())
        attributes |= Directory;
    return attributes;
}

bool FsoFile::Delete(bool force) const
{
    if (!force && (Attributes() & ReadOnly))
        return false;
    return !m_linuxPath.isEmpty() && QFile::remove(m_linuxPath);
}

FsoFolder::FsoFolder(const QString &dosPath)
    : m_dosPath(dosPath)
    , m_linuxPath(DosPath::toLinux(dosPath))
{}

QString FsoFolder::Name() const
{
    return QDir(m_linuxPath).dirName();
}

QList<FsoFile> FsoFolder::Files() const
{
    QList<FsoFile> files;
    const QFileInfoList entries = QDir(m_linuxPath)
                                      .entryInfoList(QDir::Files | QDir::Hidden | QDir::System,
                                                     QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        // A link that leads nowhere is no file. A DOS path would read a "\" in a name as a
        // folder's end, and name another file.
        const QString name = entry.fileName();
        if (entry.exists() && DosPath::isPlainName(name))
            files.append(FsoFile(DosPath::withSeparator(m_dosPath) + name));
    }
    return files;
}

QString FsoFolder::readError() const
{
    DIR *entries = ::opendir(QFile::encodeName(m_linuxPath).constData());
    if (!entries)
        return QString::fromLocal8Bit(std::strerror(errno));
    ::closedir(entries);
    return {};
}

bool FileSystemObject::FileExists(const QString &dosPath) const
{
    if (dosPath.endsWith(QLatin1Char('\\')))
        return false;
    const QFileInfo info = infoOf(dosPath);
    return info.exists() && !info.isDir();
}

bool FileSystemObject::FolderExists(const QString &dosPath) const
{
    return infoOf(dosPath).isDir();
}

std::optional<FsoFile> FileSystemObject::GetFile(const QString &dosPath) const
{
    if (!FileExists(dosPath))
        return std::nullopt;
    return FsoFile(dosPath);
}

std::optional<FsoFile> FileSystemObject::GetFileNamedExactly(const QString &dosPath) const
{
    std::optional<FsoFile> file = GetFile(dosPath);
    if (file && file->Name() != dosPath.mid(dosPath.lastIndexOf(QLatin1Char('\\')) + 1))
        return std::nullopt;
    return file;
}

std::optional<FsoFolder> FileSystemObject::GetFolder(const QString &dosPath) const
{
    if (!FolderExists(dosPath))
        return std::nullopt;
    return FsoFolder(dosPath);
}

bool FileSystemObject::DeleteFile(const QString &dosPath, bool force) const
{
    const std::optional<FsoFile> file = GetFile(dosPath);
    return file && file->Delete(force);
}

QString FileSystemObject::MoveFile(const QString &source, const QString &destination) const
{
    const QString from = DosPath::toLinux(source);
    const QString to = DosPath::toLinux(destination);
    if (from.isEmpty() || to.isEmpty())
        return QStringLiteral("not a path of a drive");
    // The system's own rename, told never to replace: anything under the new name, a link that
    // leads nowhere too, stays. (QFile::rename would copy the file through such a link, out of
    // the folder, when the rename itself fails.)
    const QByteArray oldPath = QFile::encodeName(from);
    const QByteArray newPath = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, oldPath.constData(), AT_FDCWD, newPath.constData(),
                    RENAME_NOREPLACE) == 0)
        return {};
    // A file system that cannot promise it (NFS) gets the plain rename once nothing stands there.
    if (errno == EINVAL) {
        struct stat entry
        {
        };
        if (::lstat(newPath.constData(), &entry) == 0)
            errno = EEXIST;
        else if (errno == ENOENT && ::rename(oldPath.constData(), newPath.constData()) == 0)
            return {};
    }
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool FileSystemObject::CreateFolder(const QString &dosPath) const
{
    const QString linuxPath = DosPath::toLinux(dosPath);
    return !linuxPath.isEmpty() && QDir().mkdir(linuxPath);
}

QString FileSystemObject::GetTempName() const
{
    const quint32 number = QRandomGenerator::global()->bounded(0x100000u);
    const QString digits = QStringLiteral("%1").arg(number, 5, 16, QLatin1Char('0')).toUpper();
    return QLatin1String("rad") + digits + QLatin1String(".tmp");
}

std::unique_ptr<QFile> FileSystemObject::CreateTextFile(const QString &dosPath,
                                                        bool overwrite) const
{
    const QString linuxPath = DosPath::toLinux(dosPath);
    if (linuxPath.isEmpty() || linuxPath.endsWith(QLatin1Char('/')))
        return nullptr;
    auto file = std::make_unique<QFile>(linuxPath);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | (overwrite ? QIODevice::Truncate : QIODevice::NewOnly);
    // A new file is the user's alone from its creation: a page's copy waits in the shared
    // temporary folder while it goes up. A replaced file keeps its permissions.
    if (!file->open(mode, QFile::ReadOwner | QFile::WriteOwner))
        return nullptr;
    return file;
}

} // namespace Platform
