#include "ServerAddress.h"

namespace Ftp {

namespace {

std::optional<quint16> parsePort(QStringView text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

} // namespace

std::optional<ServerAddress> ServerAddress::parse(const QString &server, quint16 defaultPort)
{
    const QString text = server.trimmed();
    ServerAddress address;
    address.port = defaultPort;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        address.host = text.mid(1, close - 1);
        const QStringView rest = QStringView(text).mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return std::nullopt;
            const auto port = parsePort(rest.mid(1));
            if (!port)
                return std::nullopt;
            address.port = *port;
        }
    } else if (text.count(u':') == 1) {
        const qsizetype colon = text.indexOf(u':');
        address.host = text.left(colon);
        const auto port = parsePort(QStringView(text).mid(colon + 1));
        if (!port)
            return std::nullopt;
        address.port = *port;
    } else {
        // A plain name, or a bare IPv6 address (more than one colon) on the default port.
        address.host = text;
    }
    if (address.host.isEmpty() || address.host.contains(u'[') || address.host.contains(u']'))
        return std::nullopt;
    return address;
}

} // namespace Ftp
