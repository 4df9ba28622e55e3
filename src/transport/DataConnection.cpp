#include "DataConnection.h"

#include <QRegularExpression>

namespace Ftp::DataConnection {

std::optional<quint16> parseEpsvReply(const QString &text)
{
    // "(|||port|)": the delimiter is whatever character the server chose.
    static const QRegularExpression pattern(QStringLiteral(R"(\((.)\1\1(\d+)\1\))"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const uint port = match.captured(2).toUInt();
    if (port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

std::optional<quint16> parsePasvReply(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"((\d+),(\d+),(\d+),(\d+),(\d+),(\d+))"));
    const auto match = pattern.match(text.mid(3));
    if (!match.hasMatch())
        return std::nullopt;
    const uint high = match.captured(5).toUInt();
    const uint low = match.captured(6).toUInt();
    if (high > 255 || low > 255 || (high == 0 && low == 0))
        return std::nullopt;
    return static_cast<quint16>(high * 256 + low);
}

QByteArray portArgument(const QHostAddress &address, quint16 port)
{
    const quint32 ip = address.toIPv4Address();
    return QByteArray::number(ip >> 24) + ',' + QByteArray::number((ip >> 16) & 0xff) + ',' +
           QByteArray::number((ip >> 8) & 0xff) + ',' + QByteArray::number(ip & 0xff) + ',' +
           QByteArray::number(port >> 8) + ',' + QByteArray::number(port & 0xff);
}

QByteArray eprtArgument(const QHostAddress &address, quint16 port)
{
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    QHostAddress plain = address;
    plain.setScopeId({});
    return (v6 ? "|2|" : "|1|") + plain.toString().toLatin1() + '|' + QByteArray::number(port) +
           '|';
}

} // namespace Ftp::DataConnection
