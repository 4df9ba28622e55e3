#pragma once

#include <QByteArray>
#include <QString>

#include <libssh2.h>

// The known-hosts file of the prefix (OpenSSH's format): which host key each server had when
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

    // Compares the server's key with the file. Lines the SSH library cannot read are skipped.
    Verdict check(const QString &host, quint16 port, const QByteArray &key, int keyType);
    // Appends the server's key to the file, which is created readable by the user only.
    bool record(const QString &host, quint16 port, const QByteArray &key, int keyType,
                QString *why);

private:
    void load();

    LIBSSH2_KNOWNHOSTS *m_hosts = nullptr;
    bool m_loaded = false;
};
