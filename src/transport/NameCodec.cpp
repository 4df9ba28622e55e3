#include "transport/NameCodec.h"

#include "platform/Windows1252.h"

#include <QStringDecoder>

namespace Ftp::NameCodec {

QString decode(QByteArrayView bytes)
{
    // Stateless: a sequence cut off at the end is an error, not something to wait for.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString name = utf8.decode(bytes);
    if (!utf8.hasError())
        return name;
    return Platform::Windows1252::decode(bytes);
}

QByteArray encode(QStringView name)
{
    return name.toUtf8();
}

} // namespace Ftp::NameCodec
