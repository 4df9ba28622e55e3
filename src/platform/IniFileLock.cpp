#include "platform/IniFileLock.h"

#include <QDir>
#include <QFileInfo>

namespace Platform {

namespace {

// A change takes a read and a write of a small file: one that holds the lock longer than this
// is stuck, and waiting on for longer would only freeze the program that waits.
constexpr int WaitMilliseconds = 10000;

} // namespace

IniFileLock::IniFileLock(const QString &linuxPath)
    : m_lock(linuxPath + QLatin1String(".lock"))
{
    if (!linuxPath.isEmpty() && QDir().mkpath(QFileInfo(linuxPath).absolutePath()))
        m_lock.tryLock(WaitMilliseconds);
}

} // namespace Platform
