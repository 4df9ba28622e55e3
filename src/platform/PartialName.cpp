#include "platform/PartialName.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace PartialName {

namespace {

QByteArray stemFor(const QByteArray &targetPath)
{
    const qsizetype slash = targetPath.lastIndexOf('/');
    const QByteArray digits =
        QCryptographicHash::hash(targetPath.mid(slash + 1), QCryptographicHash::Sha1)
            .toHex()
            .left(8);
    return targetPath.left(slash + 1) + ".vellix-" + digits;
}

} // namespace

QByteArray pathFor(const QByteArray &targetPath)
{
    return stemFor(targetPath) + ".part";
}

QString pathFor(const QString &targetPath)
{
    return QString::fromUtf8(pathFor(targetPath.toUtf8()));
}

QString originPathFor(const QString &targetPath)
{
    return QString::fromUtf8(stemFor(targetPath.toUtf8()) + ".info");
}

bool isPartialName(QStringView name)
{
    static const QRegularExpression partial(
        QStringLiteral("^\\.vellix-[0-9a-f]{1,8}\\.(part|info)$"));
    return partial.match(name).hasMatch();
}

} // namespace PartialName
