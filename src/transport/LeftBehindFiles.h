#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Ftp {

// Files that a session was to discard but lost before it could (a cancel the server did not
// answer in time), kept until the next session of the same account opens and deletes them.
class LeftBehindFiles
{
public:
    // Notes an absolute path on the server of the account ("user@server").
    void note(const QString &account, const QString &path);
    // The paths noted for the account, which are forgotten here.
    QStringList takeFor(const QString &account);

private:
    struct File
    {
        QString account;
        QString path;
        bool operator==(const File &) const = default;
    };
    QList<File> m_files;
};

} // namespace Ftp
