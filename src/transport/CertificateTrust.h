#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

namespace Ftp {

// Which server certificates a client accepts. One that the system's certificate store accepts
// for the host name is; any other is accepted on first use and pinned in the known
// certificates, and from then on only that one is. A server that spoke TLS once is expected
// to offer it ever after.
class CertificateTrust
{
public:
    // Why the certificate is refused; empty when it is accepted.
    QString refusal(const QString &host, quint16 port, const QSslCertificate &certificate,
                    const QList<QSslError> &problems);
    // Why a server that offers no TLS is refused: it spoke TLS before (a downgrade). Empty
    // when it may go without.
    QString downgradeRefusal(const QString &host, quint16 port) const;

    // What the last accepted certificate was: "Certificate of host:port verified: SHA256:..."
    // or "New certificate of ... accepted and pinned: ...".
    QString status() const { return m_status; }
    // Set only when the last session pinned a new certificate.
    QString newCertificateText() const { return m_newCertificateText; }

    // "SHA256:AB:CD:..." of a certificate.
    static QString fingerprint(const QSslCertificate &certificate);

private:
    QString m_status;
    QString m_newCertificateText;
};

} // namespace Ftp
