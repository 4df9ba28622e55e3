#include "platform/LocalEntry.h"

#include <QFile>

#include <sys/stat.h>

namespace Platform::LocalEntry {

bool mayReplace(const QString &linuxPath)
{
    struct stat entry
    {
    };
    if (::lstat(QFile::encodeName(linuxPath).constData(), &entry) != 0)
        return true;
    return S_ISREG(entry.st_mode) || S_ISLNK(entry.st_mode);
}

} // namespace Platform::LocalEntry
