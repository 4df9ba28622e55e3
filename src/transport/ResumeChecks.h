#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFileInfo;
class QFileDevice;

namespace Ftp {
class Session;
}

// The questions a plain FTP transfer asks the server before it continues a partial file and
// after: whether the partial is still part of the same file, and whether the file came whole.
class ResumeChecks
{
public:
    explicit ResumeChecks(Ftp::Session &session);

    // The server and login the session opened with ("ftp://user@host:port"): part of every
    // download's origin.
    void setServer(const QString &server) { m_server = server; }

    // How many bytes of an upload the partial on the server holds that may be continued: 0
    // when there is none, when it is larger than the local file, or when it is older than the
    // local file's last change (the local file changed since it was sent).
    qint64 uploadedPart(const QString &partial, const QFileInfo &local);
    // What a download of a server file of this size is a copy of, for its partial's note: the
    // server, the file's path, size and date. Nothing when the server tells no date, for then
    // a changed file could not be told apart.
    std::optional<QByteArray> originOf(const QString &remote, qint64 size);
    // Whether the server's file and the local copy (read from its start) are the same: the
    // sizes agree and, where the server can compute one, so do the hashes.
    bool sameAsServer(const QString &remote, QFileDevice &local);

private:
    Ftp::Session &m_session;
    QString m_server;
};
