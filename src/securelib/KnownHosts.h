#pragma once

#include <QByteArray>
#include <QString>

#include <libssh2.h>

#include <QList>

// The known-hosts file of the prefix (OpenSSH's format): which host keys each server had when
// it was first met.
class KnownHosts
{
public:
    enum class Verdict { Known, Unknown, Changed };

    explicit KnownHosts(LIBSSH2_SESSION *session);
    ~KnownHosts();
    KnownHosts(const KnownHosts &) = delete;
    KnownHosts &operator=(const KnownHosts &) = delete;

    // Linux path of the file: known_hosts in the prefix.
    static QString filePath();
    // How the file's name for a server is written: "host" on port 22, "[host]:port" otherwise.
    static QString hostSpec(const QString &host, quint16 port);

    // The types (LIBSSH2_HOSTKEY_TYPE_...) of the keys recorded for a server, so that the
    // handshake can ask for one of them.
    QList<int> recordedKeyTypes(const QString &host, quint16 port);
    // Compares the server's key with every key recorded for it, of whatever type: a server
    // with recorded keys is known only by one of them. Lines the SSH library cannot read are
    // skipped.
    Verdict check(const QString &host, quint16 port, const QByteArray &key);
    // Appends the server's key to the file, which is created readable by the user only.
    bool record(const QString &host, quint16 port, const QByteArray &key, int keyType,
                QString *why);

private:
    void load();

    LIBSSH2_KNOWNHOSTS *m_hosts = nullptr;
    bool m_loaded = false;
};
