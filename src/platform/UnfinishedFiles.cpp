#include "platform/UnfinishedFiles.h"

#include <QFile>

#include <mutex>
#include <set>

#include <unistd.h>

namespace Platform {

namespace {

// A watchdog thread may end the program while the main thread writes.
std::mutex listLock;

std::set<QByteArray> &listed()
{
    static std::set<QByteArray> paths;
    return paths;
}

} // namespace

void UnfinishedFiles::add(const QString &path)
{
    const std::lock_guard lock(listLock);
    listed().insert(QFile::encodeName(path));
}

void UnfinishedFiles::drop(const QString &path)
{
    const std::lock_guard lock(listLock);
    listed().erase(QFile::encodeName(path));
}

void UnfinishedFiles::removeAll()
{
    const std::lock_guard lock(listLock);
    for (const QByteArray &path : listed())
        ::unlink(path.constData());
    listed().clear();
}

} // namespace Platform
