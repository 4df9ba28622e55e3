#pragma once

#include "WaitWatch.h"

#include <QDeadlineTimer>
#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QSslSocket;

namespace Ftp {

// TLS, as its client, over an already connected descriptor, with a deadline on every wait.
// The engine's own waits are synchronous, so the socket is driven through its blocking calls,
// in short slices that let a signal asking the program to stop, or a watch, end a wait. Failures
// are reported as InternetError numbers, with the TLS library's own words in errorText().
class TlsStream
{
public:
    TlsStream();
    ~TlsStream();
    TlsStream(const TlsStream &) = delete;
    TlsStream &operator=(const TlsStream &) = delete;

    // Asked while the stream waits (see WaitWatch).
    void setWaitWatch(WaitWatch watch) { m_watch = std::move(watch); }

    // Takes over the descriptor (it is closed with the stream) and runs the handshake. A
    // session in the configuration is offered for resumption. The certificate is not judged
    // here: its problems are in handshakeErrors().
    bool start(int descriptor, const QString &peerName, const QSslConfiguration &configuration,
               std::chrono::milliseconds timeout);

    bool sendAll(const char *data, qsizetype size, std::chrono::milliseconds timeout);
    // Up to `size` bytes; 0 at the end of the stream, -1 on a failure.
    qsizetype receive(char *data, qsizetype size, std::chrono::milliseconds timeout);
    bool waitReadable(std::chrono::milliseconds timeout);
    // Says goodbye (close_notify) after what is still queued, and waits for the server to
    // close its side; the stream then is closed.
    void finish();
    // Gives the stream up at once: a close_notify if it can go out without waiting, and what
    // has arrived is read away, so that the close does not reset the connection (a server
    // may take a reset data connection for a broken session).
    void abandon();

    quint32 error() const { return m_error; }
    QString errorText() const { return m_errorText; }

    // After the handshake: what was agreed, with the session to resume on other connections.
    QSslConfiguration configuration() const;
    QSslCertificate peerCertificate() const;
    QList<QSslError> handshakeErrors() const;
    // "TLSv1.3, TLS_AES_256_GCM_SHA384".
    QString description() const;

private:
    // Runs the socket's blocking `wait` in slices until `done` holds. `done` is asked first and
    // after every slice: whenever the message loop runs (in a watch, say), the socket reads and
    // writes by itself, and a blocking wait would then wait for more than there is to come.
    template<typename Wait, typename Done>
    bool waitFor(Wait wait, Done done, std::chrono::milliseconds timeout);
    bool fail();
    void awaitPeerClose(const QDeadlineTimer &deadline);
    void closeSpare();

    std::unique_ptr<QSslSocket> m_socket;
    // The socket's last failure other than a wait's timeout, which would overwrite it.
    std::optional<int> m_failure;
    // A second descriptor of the connection: the socket closes its own at the close_notify,
    // while the connection must stay open until the server has read everything (closing it
    // with bytes unread, such as a late session ticket, would reset it and lose our data).
    int m_spare = -1;
    std::chrono::milliseconds m_finishTimeout{0};
    WaitWatch m_watch;
    quint32 m_error = 0;
    QString m_errorText;
};

} // namespace Ftp
