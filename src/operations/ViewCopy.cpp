#include "operations/ViewCopy.h"

#include "course/LocalPaths.h"
#include "platform/DosPath.h"

#include <QDir>

ViewCopy::ViewCopy(const QString &fileName)
    // mkdtemp: a new folder of a name nobody could foresee, for the user alone (0700).
    : m_folder(QDir::tempPath() + QStringLiteral("/vellix-view-XXXXXX"))
{
    if (!m_folder.isValid())
        return;
    const QString folder = Platform::DosPath::toDos(m_folder.path());
    if (folder.isEmpty())
        return;
    m_dosPath = Platform::DosPath::withSeparator(folder) +
                (Platform::DosPath::isPlainName(fileName) ? fileName : TempFileName());
}

bool ViewCopy::isValid() const
{
    return !m_dosPath.isEmpty();
}

QString ViewCopy::errorString() const
{
    if (!m_folder.isValid())
        return m_folder.errorString();
    return QStringLiteral("%1 lies on no drive").arg(QDir::toNativeSeparators(m_folder.path()));
}

QString ViewCopy::dosPath() const
{
    return m_dosPath;
}
