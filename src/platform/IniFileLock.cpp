#include "platform/IniFileLock.h"

#include <QDir>
#include <QFileInfo>

namespace Platform {

namespace {

// A change takes a read and a write of a small file: one that holds the lock longer than this
// is stuck, and waiting on for longer would only freeze the program that waits.
constexpr int WaitMilliseconds = 10000;
// As many links as the system follows in one path.
constexpr int MostLinks = 40;

// The file that a link of that name leads to, which a save writes: its lock stands beside it,
// in a folder that takes the save's new file, and every name of the file shares it.
QString linkedFile(const QString &path)
{
    QFileInfo info(path);
    for (int link = 0; link < MostLinks && info.isSymLink(); ++link)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

} // namespace

IniFileLock::IniFileLock(const QString &linuxPath)
    : m_lock(linkedFile(linuxPath) + QLatin1String(".lock"))
{
    if (!linuxPath.isEmpty() && QDir().mkpath(QFileInfo(m_lock.fileName()).absolutePath()))
        m_lock.tryLock(WaitMilliseconds);
}

} // namespace Platform
