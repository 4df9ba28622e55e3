#pragma once

#include "WaitWatch.h"

#include <QHostAddress>
#include <QSslConfiguration>
#include <QString>

#include <chrono>
#include <memory>

namespace Ftp {

class AddressRace;
class TlsStream;

// A TCP connection on a plain descriptor, with a deadline on every wait, and TLS over it once
// started. Failures are reported as InternetError numbers.
class Socket
{
public:
    Socket() = default;
    explicit Socket(int descriptor);
    ~Socket();
    Socket(Socket &&other) noexcept;
    Socket &operator=(Socket &&other) noexcept;
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;

    // Asked as this connection reads, writes or connects and while it waits (see WaitWatch);
    // also by the TLS layer once started.
    void setWaitWatch(WaitWatch watch);
    const WaitWatch &waitWatch() const { return m_watch; }

    // Resolves the host and connects to the first of its addresses that answers, all within
    // the timeout (see AddressRace).
    bool connectToHost(const QString &host, quint16 port, std::chrono::milliseconds timeout);
    bool connectToAddress(const QHostAddress &address, quint16 port,
                          std::chrono::milliseconds timeout);

    // From here on every byte goes through TLS; on a failure the connection is closed.
    bool startTls(const QString &peerName, const QSslConfiguration &configuration,
                  std::chrono::milliseconds timeout);
    // The TLS layer once started, else nullptr.
    const TlsStream *tls() const { return m_tls.get(); }

    bool sendAll(const char *data, qsizetype size, std::chrono::milliseconds timeout);
    // Up to `size` bytes; 0 at the end of the stream, -1 on a failure.
    qsizetype receive(char *data, qsizetype size, std::chrono::milliseconds timeout);
    // True when bytes (or the end of the stream) can be read within the timeout.
    bool waitReadable(std::chrono::milliseconds timeout);
    // True when the system can take more to send within the timeout (or the connection
    // broke, which the next send tells).
    bool waitWritable(std::chrono::milliseconds timeout);

    void shutdownWrite();
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    quint32 error() const { return m_error; }
    // The TLS library's words for the last TLS failure.
    QString tlsErrorText() const { return m_tlsErrorText; }

    QHostAddress localAddress() const;
    QHostAddress peerAddress() const;

private:
    // Asks the watch as a read or write begins, so that a session of quick answers lets the
    // loop run as often as one that waits; false (cancelled) closes the connection.
    bool goesOn();
    // Takes the descriptor a race connected, or its failure.
    bool adopt(int descriptor, const AddressRace &race);
    bool waitFor(short events, std::chrono::milliseconds timeout);
    bool failWithErrno(int error);
    bool failTls();

    int m_fd = -1;
    quint32 m_error = 0;
    QString m_tlsErrorText;
    WaitWatch m_watch;
    std::unique_ptr<TlsStream> m_tls; // owns m_fd once started
};

// A listening socket for an active-mode data connection, which the server connects to.
class ListeningSocket
{
public:
    ListeningSocket() = default;
    ~ListeningSocket();
    ListeningSocket(const ListeningSocket &) = delete;
    ListeningSocket &operator=(const ListeningSocket &) = delete;

    // Listens on a free port of the given local address.
    bool listen(const QHostAddress &address);
    quint16 port() const { return m_port; }
    // The server's connection, from the given address: any other is closed, and the wait
    // goes on. A closed socket when none came within the timeout.
    Socket accept(const QHostAddress &from, std::chrono::milliseconds timeout);
    quint32 error() const { return m_error; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    quint32 m_error = 0;
};

} // namespace Ftp
