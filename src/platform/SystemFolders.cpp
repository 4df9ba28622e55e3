#include "platform/SystemFolders.h"

#include "platform/DosPath.h"
#include "platform/Prefix.h"

#include <QDir>

namespace Platform::SystemFolders {

QString windowsDirectory()
{
    QString folder = DosPath::toDos(Prefix::windowsFolder());
    if (folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    return folder;
}

QString currentDirectory()
{
    QString folder = DosPath::toDos(QDir::currentPath());
    // Only a drive's root keeps its separator ("C:\"), as the system gives it.
    if (folder.size() > 3 && folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    return folder;
}

bool setCurrentDirectory(const QString &dosPath)
{
    const QString folder = DosPath::toLinux(dosPath);
    return !folder.isEmpty() && QDir::setCurrent(folder);
}

} // namespace Platform::SystemFolders
