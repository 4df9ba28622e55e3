#include "transport/NameCodec.h"

#include "platform/Windows1252.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace Ftp::NameCodec {

namespace {

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

// Stateless: a sequence cut off at the end is an error, not something to wait for.
std::optional<QString> utf8(QByteArrayView bytes)
{
    // Most names are ASCII, which reads the same in UTF-8 and needs no decoder.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    if (std::optional<QString> name = utf8(bytes))
        return *name;
    return Platform::Windows1252::decode(bytes);
}

QString decodeLines(QByteArrayView bytes)
{
    QString text;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        text += decode(bytes.sliced(start, end - start));
        if (end < bytes.size())
            text += QLatin1Char('\n');
        start = end + 1;
    }
    return text;
}

bool isUtf8(QByteArrayView bytes)
{
    return isAscii(bytes) || utf8(bytes).has_value();
}

QByteArray encode(QStringView name)
{
    return name.toUtf8();
}

} // namespace Ftp::NameCodec
