#include "KnownCertificates.h"

#include "platform/Prefix.h"
#include "platform/RegularFile.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QStringList>

namespace Ftp {

namespace {

// The file's lines; nullopt when it is there but cannot be read.
std::optional<QStringList> readLines()
{
    const auto content = Platform::readRegularFile(KnownCertificates::filePath());
    if (!content)
        return std::nullopt;
    return QString::fromUtf8(*content).remove(u'\r').split(u'\n', Qt::SkipEmptyParts);
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
    for (const QString &line : readLines().value_or(QStringList())) {
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
    // A file that cannot be read is not rewritten without the pins it holds.
    const std::optional<QStringList> known = readLines();
    if (!known) {
        *why = QStringLiteral("%1 cannot be read").arg(filePath());
        return false;
    }
    QStringList lines;
    for (const QString &line : *known) {
        if (line.simplified().section(u' ', 0, 0).compare(name, Qt::CaseInsensitive) != 0)
            lines << line;
    }
    lines << name + u' ' + fingerprint;
    if (const auto error =
            Platform::writeWholeFile(filePath(), (lines.join(u'\n') + u'\n').toUtf8(),
                                     QFile::ReadOwner | QFile::WriteOwner)) {
        *why = QStringLiteral("%1 cannot be written: %2").arg(filePath(), *error);
        return false;
    }
    return true;
}

} // namespace Ftp
