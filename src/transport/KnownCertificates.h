#pragma once

#include <QString>

#include <optional>

namespace Ftp {

// The known-certificates file of the prefix: for each server (host and port) that spoke TLS
// with us, the SHA-256 fingerprint of the certificate it showed, one line each:
// "host:port SHA256:AB:CD:...". Read anew on every question, so that a line removed by hand
// counts at once.
class KnownCertificates
{
public:
    // Linux path of the file: known_certs in the prefix.
    static QString filePath();
    // "host:port", with an IPv6 address in brackets.
    static QString serverName(const QString &host, quint16 port);

    // The fingerprint recorded for a server; nothing when it has none.
    static std::optional<QString> fingerprint(const QString &host, quint16 port);
    // Records (or replaces) the server's fingerprint; the file is kept readable by the user
    // only. False with the reason when it cannot be written.
    static bool record(const QString &host, quint16 port, const QString &fingerprint, QString *why);
};

} // namespace Ftp
