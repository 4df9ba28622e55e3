#include "operations/ViewScope.h"

#include "platform/Prefix.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

// Whether path is folder or lies somewhere below it.
bool within(const QString &path, const QString &folder)
{
    if (folder.isEmpty() || !path.startsWith(folder))
        return false;
    return path.size() == folder.size() || folder.endsWith(u'/') || path.at(folder.size()) == u'/';
}

} // namespace

ViewScope::ViewScope(const QString &pagePath)
    : m_page(QDir::cleanPath(pagePath))
    , m_folder(QFileInfo(m_page).path())
    , m_canonicalFolder(canonical(m_folder))
    , m_prefix(canonical(Platform::Prefix::root()))
    , m_driveC(canonical(Platform::Prefix::path(QStringLiteral("drive_c"))))
    , m_windows(canonical(Platform::Prefix::windowsFolder()))
{}

bool ViewScope::below(const QString &path, const QString &folder)
{
    if (!within(path, folder) || path.size() == folder.size())
        return false;
    const QStringView inside = QStringView(path).mid(folder.size());
    for (const QStringView name : inside.split(u'/', Qt::SkipEmptyParts)) {
        if (name.startsWith(u'.'))
            return false;
    }
    return true;
}

bool ViewScope::allows(const QString &linuxPath) const
{
    if (m_page.isEmpty())
        return false;
    const QString path = QDir::cleanPath(linuxPath);
    if (path == m_page)
        return true; // the file the user chose, whatever its name and place
    const QString real = canonical(path);
    if (real.isEmpty() || !below(path, m_folder) || !below(real, m_canonicalFolder))
        return false;
    const bool guarded =
        within(real, m_prefix) && (!within(real, m_driveC) || within(real, m_windows));
    return !guarded;
}
