#include "CertificateTrust.h"

#include "KnownCertificates.h"

#include <QStringList>

namespace Ftp {

QString CertificateTrust::refusal(const QString &host, quint16 port,
                                  const QSslCertificate &certificate,
                                  const QList<QSslError> &problems)
{
    m_status.clear();
    m_newCertificateText.clear();
    const QString server = KnownCertificates::serverName(host, port);
    const QString shown = fingerprint(certificate);
    const auto pinned = KnownCertificates::fingerprint(host, port);
    QString why;
    if (problems.isEmpty()) {
        // The store vouches for it; the line only remembers that the server speaks TLS, and
        // follows the server's renewals.
        if (pinned != shown && !KnownCertificates::record(host, port, shown, &why))
            return QStringLiteral("The certificate of %1 cannot be recorded: %2").arg(server, why);
        m_status = QStringLiteral("Certificate of %1 verified: %2").arg(server, shown);
        return {};
    }
    if (pinned == shown) {
        m_status = QStringLiteral("Certificate of %1 matches its pin: %2").arg(server, shown);
        return {};
    }
    if (pinned) {
        return QStringLiteral("The certificate of %1 has changed (it is now %2); the connection "
                              "is refused. If the server's certificate was replaced on purpose, "
                              "remove its line from %3.")
            .arg(server, shown, KnownCertificates::filePath());
    }
    if (!KnownCertificates::record(host, port, shown, &why))
        return QStringLiteral("The new certificate of %1 (%2) cannot be pinned: %3")
            .arg(server, shown, why);
    QStringList found;
    for (const QSslError &problem : problems)
        found << problem.errorString();
    m_newCertificateText = QStringLiteral("New certificate of %1 (%2) accepted and pinned: %3")
                               .arg(server, found.join(QStringLiteral("; ")), shown);
    m_status = m_newCertificateText;
    return {};
}

QString CertificateTrust::downgradeRefusal(const QString &host, quint16 port) const
{
    if (!KnownCertificates::fingerprint(host, port))
        return {};
    return QStringLiteral("%1 spoke TLS before and now offers none; the connection is refused. "
                          "If the server no longer speaks TLS, remove its line from %2.")
        .arg(KnownCertificates::serverName(host, port), KnownCertificates::filePath());
}

QString CertificateTrust::fingerprint(const QSslCertificate &certificate)
{
    return QStringLiteral("SHA256:") +
           QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

} // namespace Ftp
