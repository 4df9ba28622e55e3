#include "KnownCertificates.h"

#include "platform/Prefix.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace Ftp {

namespace {

QStringList readLines()
{
    QFile file(KnownCertificates::filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

QString KnownCertificates::filePath()
{
    return Platform::Prefix::path(QStringLiteral("known_certs"));
}

QString KnownCertificates::serverName(const QString &host, quint16 port)
{
    const QString shown = host.contains(u':') ? u'[' + host + u']' : host;
    return shown + u':' + QString::number(port);
}

std::optional<QString> KnownCertificates::fingerprint(const QString &host, quint16 port)
{
    const QString name = serverName(host, port);
    for (const QString &line : readLines()) {
        const QStringList fields = line.simplified().split(u' ');
        if (fields.size() == 2 && fields[0].compare(name, Qt::CaseInsensitive) == 0)
            return fields[1];
    }
    return std::nullopt;
}

bool KnownCertificates::record(const QString &host, quint16 port, const QString &fingerprint,
                               QString *why)
{
    const QString name = serverName(host, port);
    QStringList lines;
    for (const QString &line : readLines()) {
        if (line.simplified().section(u' ', 0, 0).compare(name, Qt::CaseInsensitive) != 0)
            lines << line;
    }
    lines << name + u' ' + fingerprint;
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        file.write((lines.join(u'\n') + u'\n').toUtf8()) < 0 || !file.commit()) {
        *why = QStringLiteral("%1 cannot be written: %2").arg(filePath(), file.errorString());
        return false;
    }
    return true;
}

} // namespace Ftp
