#include "TlsStream.h"

#include "InternetError.h"
#include "platform/Interruption.h"

#include <QSslCipher>
#include <QSslSocket>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Ftp {

namespace {

// How long one blocking call of the socket may wait before the stream looks for a signal
// that asks the program to stop.
constexpr qint64 SliceMs = 100;

// What the socket holds of the server's bytes before we read them, bounded whatever the server
// sends while the message loop runs. It also sizes the buffers the socket allocates for every
// read, for both the encrypted and the decrypted bytes: kept below the C library's threshold
// for mapping a block of its own (128 KiB), they are reused from the heap, where larger ones
// are mapped, touched page by page and unmapped again on every read. Several records still fit.
constexpr qint64 ReadBufferSize = 64 * 1024;

quint32 errorOf(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
        return InternetError::ConnectionAborted;
    case QAbstractSocket::SocketTimeoutError:
        return InternetError::Timeout;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return InternetError::SecureChannelError;
    default:
        return InternetError::ConnectionReset;
    }
}

} // namespace

TlsStream::TlsStream() = default;

TlsStream::~TlsStream()
{
    abandon();
}

bool TlsStream::start(int descriptor, const QString &peerName,
                      const QSslConfiguration &configuration, std::chrono::milliseconds timeout)
{
    m_socket = std::make_unique<QSslSocket>();
    m_finishTimeout = timeout;
    // A close_notify from the server shows only as an error signal: the socket itself stays
    // connected until we close it, and the next wait's timeout replaces the error.
    QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError error) {
                         if (error != QAbstractSocket::SocketTimeoutError)
                             m_failure = error;
                     });
    m_spare = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (m_spare < 0 || !m_socket->setSocketDescriptor(descriptor)) {
        ::close(descriptor); // ours now, and the socket did not take it
        m_error = InternetError::InternalError;
        m_errorText = m_socket->errorString();
        return false;
    }
    m_socket->setReadBufferSize(ReadBufferSize);
    QSslConfiguration settings = configuration;
    // The certificate is judged by the session, which knows the pins: the handshake only
    // reports what it found wrong.
    settings.setPeerVerifyMode(QSslSocket::QueryPeer);
    // The session must be kept: the server may require that data connections resume it.
    settings.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    m_socket->setSslConfiguration(settings);
    m_socket->setPeerVerifyName(peerName);
    m_socket->startClientEncryption();
    return waitFor([this](int ms) { return m_socket->waitForEncrypted(ms); },
                   [this] { return m_socket->isEncrypted(); }, timeout);
}

bool TlsStream::sendAll(const char *data, qsizetype size, std::chrono::milliseconds timeout)
{
    if (!m_socket || !m_socket->isEncrypted()) {
        m_error = InternetError::FtpDropped;
        return false;
    }
    if (m_socket->write(data, size) != size)
        return fail();
    // Sent means handed to the system: what waits to be encrypted and what waits to go out.
    const auto allWritten = [this] {
        return m_socket->bytesToWrite() == 0 && m_socket->encryptedBytesToWrite() == 0;
    };
    while (!allWritten()) {
        if (!waitFor([this](int ms) { return m_socket->waitForBytesWritten(ms); }, allWritten,
                     timeout))
            return false;
    }
    return true;
}

qsizetype TlsStream::receive(char *data, qsizetype size, std::chrono::milliseconds timeout)
{
    if (!m_socket) {
        m_error = InternetError::FtpDropped;
        return -1;
    }
    // The last bytes may come with the end of the stream, in the same wait.
    if (!waitReadable(timeout) && m_socket->bytesAvailable() == 0)
        return m_error == InternetError::ConnectionAborted ? 0 : -1;
    return m_socket->read(data, size);
}

bool TlsStream::waitReadable(std::chrono::milliseconds timeout)
{
    return waitFor([this](int ms) { return m_socket->waitForReadyRead(ms); },
                   [this] { return m_socket->bytesAvailable() > 0; }, timeout);
}

void TlsStream::finish()
{
    if (!m_socket)
        return;
    const QDeadlineTimer deadline(m_finishTimeout);
    if (m_socket->state() == QAbstractSocket::ConnectedState && !m_failure) {
        // The close_notify is queued behind everything sent; the socket closes once it is out.
        m_socket->disconnectFromHost();
        while (m_socket->state() != QAbstractSocket::UnconnectedState && !m_failure &&
               !deadline.hasExpired())
            m_socket->waitForDisconnected(int(std::min(deadline.remainingTime(), SliceMs)));
    }
    m_socket->abort();
    awaitPeerClose(deadline);
}

void TlsStream::abandon()
{
    if (m_socket) {
        if (m_socket->state() == QAbstractSocket::ConnectedState && !m_failure) {
            m_socket->disconnectFromHost();
            if (m_socket->state() != QAbstractSocket::UnconnectedState)
                m_socket->waitForDisconnected(int(SliceMs));
        }
        m_socket->abort();
    }
    closeSpare();
}

void TlsStream::closeSpare()
{
    if (m_spare < 0)
        return;
    // Bounded: a download given up may still be pouring in, and then a reset is what it gets.
    char scratch[4096];
    for (int reads = 0; reads < 256; ++reads) {
        if (::recv(m_spare, scratch, sizeof scratch, MSG_DONTWAIT) <= 0)
            break;
    }
    ::close(m_spare);
    m_spare = -1;
}

void TlsStream::awaitPeerClose(const QDeadlineTimer &deadline)
{
    if (m_spare < 0)
        return;
    ::shutdown(m_spare, SHUT_WR);
    const int signalsBefore = Platform::Interruption::count();
    char scratch[4096];
    while (!deadline.hasExpired() && Platform::Interruption::count() == signalsBefore) {
        pollfd entry{m_spare, POLLIN, 0};
        if (::poll(&entry, 1, int(std::min(deadline.remainingTime(), SliceMs))) <= 0)
            continue;
        const ssize_t received = ::recv(m_spare, scratch, sizeof scratch, 0);
        if (received == 0 || (received < 0 && errno != EINTR && errno != EAGAIN))
            break;
    }
    closeSpare();
}

QSslConfiguration TlsStream::configuration() const
{
    return m_socket ? m_socket->sslConfiguration() : QSslConfiguration();
}

QSslCertificate TlsStream::peerCertificate() const
{
    return m_socket ? m_socket->peerCertificate() : QSslCertificate();
}

QList<QSslError> TlsStream::handshakeErrors() const
{
    return m_socket ? m_socket->sslHandshakeErrors() : QList<QSslError>();
}

QString TlsStream::description() const
{
    if (!m_socket)
        return {};
    const QSslCipher cipher = m_socket->sessionCipher();
    return cipher.protocolString() + QLatin1String(", ") + cipher.name();
}

template<typename Wait, typename Done>
bool TlsStream::waitFor(Wait wait, Done done, std::chrono::milliseconds timeout)
{
    const int signalsBefore = Platform::Interruption::count();
    const QDeadlineTimer deadline(timeout);
    const qint64 slice = m_watch ? qint64(WatchSlice.count()) : SliceMs;
    for (;;) {
        if (m_watch && !m_watch()) {
            m_error = InternetError::OperationCancelled;
            return false;
        }
        if (!m_failure && (done() || wait(int(std::min(deadline.remainingTime(), slice)))))
            return true;
        if (m_failure || m_socket->state() != QAbstractSocket::ConnectedState)
            return fail();
        if (Platform::Interruption::count() != signalsBefore) {
            m_error = InternetError::OperationCancelled;
            return false;
        }
        if (deadline.hasExpired()) {
            m_error = InternetError::Timeout;
            return false;
        }
    }
}

bool TlsStream::fail()
{
    m_error = errorOf(m_failure ? QAbstractSocket::SocketError(*m_failure) : m_socket->error());
    m_errorText = m_socket->errorString();
    return false;
}

} // namespace Ftp
