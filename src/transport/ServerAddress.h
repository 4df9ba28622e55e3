#pragma once

#include <QString>

#include <optional>

namespace Ftp {

// The server name a user types: "host", "host:port", "[v6addr]:port" or a bare IPv6 address.
struct ServerAddress
{
    static constexpr quint16 DefaultPort = 21;

    QString host; // without brackets
    quint16 port = DefaultPort;

    // Nothing for an empty host, a port that is not 1..65535, or a stray bracket.
    static std::optional<ServerAddress> parse(const QString &server,
                                              quint16 defaultPort = DefaultPort);
};

} // namespace Ftp
