#include "LeftBehindFiles.h"

namespace Ftp {

void LeftBehindFiles::note(const QString &account, const QString &path)
{
    const File file{account, path};
    if (!m_files.contains(file))
        m_files.append(file);
}

QStringList LeftBehindFiles::takeFor(const QString &account)
{
    QStringList paths;
    m_files.removeIf([&](const File &file) {
        if (file.account != account)
            return false;
        paths.append(file.path);
        return true;
    });
    return paths;
}

} // namespace Ftp
