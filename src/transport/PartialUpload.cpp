#include "transport/PartialUpload.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace PartialUpload {

QByteArray pathFor(const QByteArray &remotePath)
{
    const qsizetype slash = remotePath.lastIndexOf('/');
    const QByteArray digits =
        QCryptographicHash::hash(remotePath.mid(slash + 1), QCryptographicHash::Sha1)
            .toHex()
            .left(8);
    return remotePath.left(slash + 1) + ".vellix-" + digits + ".part";
}

QString pathFor(const QString &remotePath)
{
    return QString::fromUtf8(pathFor(remotePath.toUtf8()));
}

bool isPartialName(QStringView name)
{
    static const QRegularExpression partial(QStringLiteral("^\\.vellix-[0-9a-f]{1,8}\\.part$"));
    return partial.match(name).hasMatch();
}

} // namespace PartialUpload
