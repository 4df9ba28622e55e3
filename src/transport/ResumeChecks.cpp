#include "transport/ResumeChecks.h"

#include "platform/UploadSource.h"
#include "transport/Session.h"

#include <QCryptographicHash>
#include <QFileInfo>

ResumeChecks::ResumeChecks(Ftp::Session &session)
    : m_session(session)
{}

qint64 ResumeChecks::uploadedPart(const QString &partial, const QFileInfo &local)
{
    const std::optional<qint64> size = m_session.exactFileSize(partial);
    if (!size || *size <= 0 || *size > local.size())
        return 0;
    // The server's times have whole seconds; a partial sent in the second of the change counts.
    const std::optional<QDateTime> sent = m_session.modificationTime(partial);
    const qint64 changed = Platform::UploadSource::lastChange(local);
    if (!sent || sent->toSecsSinceEpoch() < changed)
        return 0;
    return *size;
}

std::optional<QByteArray> ResumeChecks::originOf(const QString &remote, qint64 size)
{
    const std::optional<QDateTime> changed = m_session.modificationTime(remote);
    if (!changed)
        return std::nullopt;
    QString path = remote;
    if (!path.startsWith(u'/')) {
        // Read once a folder: the session keeps the folder it stands in.
        const std::optional<QString> folder = m_session.currentDirectory();
        if (!folder)
            return std::nullopt;
        path = Ftp::Session::joined(*folder, path);
    }
    return (m_server + path).toUtf8() + '\n' + QByteArray::number(size) + '\n' +
           QByteArray::number(changed->toSecsSinceEpoch());
}

bool ResumeChecks::sameAsServer(const QString &remote, QFileDevice &local)
{
    if (m_session.exactFileSize(remote) != local.size())
        return false;
    const std::optional<Ftp::Session::FileDigest> digest = m_session.fileHash(remote);
    if (!digest)
        return true; // the sizes are all the server can tell
    QCryptographicHash hash(digest->algorithm);
    if (!local.seek(0) || !hash.addData(&local))
        return false;
    return hash.result().toHex() == digest->hex;
}
