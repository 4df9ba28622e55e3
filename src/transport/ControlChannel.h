#pragma once

#include "Socket.h"
#include "Timeouts.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <optional>

namespace Ftp {

// One reply of the server: its three-digit code and its text, lines joined with CR LF.
struct Reply
{
    int code = 0;
    QString text;

    int kind() const { return code / 100; } // 1 preliminary, 2 done, 3 more, 4/5 refused
    bool isPreliminary() const { return kind() == 1; }
    bool isPositive() const { return kind() == 2; }
    bool isIntermediate() const { return kind() == 3; }
    bool isRefusal() const { return kind() >= 4; }
    // 500 or 502: the server does not know the command, whatever its FEAT said.
    bool isUnknownCommand() const { return code == 500 || code == 502; }
};

// The control connection: commands out, replies in (multi-line replies joined). A reply is
// bounded in time and length.
class ControlChannel
{
public:
    bool open(const QString &host, quint16 port, const Timeouts &timeouts);
    // Asked while the connection waits, from the name look-up on (see WaitWatch).
    void setWaitWatch(WaitWatch watch) { m_socket.setWaitWatch(std::move(watch)); }
    void close();
    bool isOpen() const { return m_socket.isOpen(); }

    // Turns the connection into TLS (after the server's 234 to AUTH TLS).
    bool startTls(const QString &peerName, const QSslConfiguration &configuration);

    bool send(const QByteArray &verb, const QByteArray &argument = {});
    std::optional<Reply> readReply(std::chrono::milliseconds timeout);
    // True when a reply line is waiting (or arrives within the timeout).
    bool replyPending(std::chrono::milliseconds timeout);

    quint32 error() const { return m_error; }
    const Socket &socket() const { return m_socket; }

private:
    std::optional<QByteArray> readLine(const QDeadlineTimer &deadline);

    Socket m_socket;
    QByteArray m_input;
    std::chrono::milliseconds m_sendTimeout{0};
    quint32 m_error = 0;
};

} // namespace Ftp
