#pragma once

#include <QHostAddress>

#include <sys/socket.h>

namespace Ftp {

// A host address and port as the system's socket calls take them, for the TCP connections of
// both channels.
class SocketAddress
{
public:
    SocketAddress(const QHostAddress &address, quint16 port);

    const sockaddr *data() const { return reinterpret_cast<const sockaddr *>(&m_storage); }
    socklen_t length() const { return m_length; }
    // A new TCP socket of this address's family: non-blocking, closed on exec, and sending each
    // write at once, since FTP commands and the SSH library's requests are small and each
    // waits for its answer. -1, with errno set, when the system has none.
    int openSocket() const;

private:
    sockaddr_storage m_storage{};
    socklen_t m_length = 0;
};

} // namespace Ftp
