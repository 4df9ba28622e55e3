#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <optional>

namespace Ftp {

// The texts that set up a data connection: the replies to EPSV and PASV, and the arguments
// of PORT and EPRT.
namespace DataConnection {

// The port of "229 Entering Extended Passive Mode (|||6446|)".
std::optional<quint16> parseEpsvReply(const QString &text);
// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)". The address is ignored: the
// data connection goes to the control connection's peer, so a server behind NAT that names
// its private address still works, and a server cannot point us at a third host.
std::optional<quint16> parsePasvReply(const QString &text);
// "h1,h2,h3,h4,p1,p2" for PORT (IPv4 only).
QByteArray portArgument(const QHostAddress &address, quint16 port);
// "|1|h.h.h.h|port|" or "|2|v6addr|port|" for EPRT.
QByteArray eprtArgument(const QHostAddress &address, quint16 port);

} // namespace DataConnection
} // namespace Ftp
