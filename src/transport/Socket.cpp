#include "Socket.h"

#include "AddressRace.h"
#include "InternetError.h"
#include "Poll.h"
#include "SocketAddress.h"
#include "TlsStream.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Ftp {

namespace {

QHostAddress addressOf(const sockaddr_storage &storage)
{
    return QHostAddress(reinterpret_cast<const sockaddr *>(&storage));
}

} // namespace

Socket::Socket(int descriptor)
    : m_fd(descriptor)
{}

Socket::~Socket()
{
    close();
}

Socket::Socket(Socket &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_error(other.m_error)
    , m_tlsErrorText(std::move(other.m_tlsErrorText))
    , m_watch(std::move(other.m_watch))
    , m_tls(std::move(other.m_tls))
{}

Socket &Socket::operator=(Socket &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_error = other.m_error;
        m_tlsErrorText = std::move(other.m_tlsErrorText);
        m_watch = std::move(other.m_watch);
        m_tls = std::move(other.m_tls);
    }
    return *this;
}

void Socket::setWaitWatch(WaitWatch watch)
{
    m_watch = std::move(watch);
    if (m_tls)
        m_tls->setWaitWatch(m_watch);
}

bool Socket::connectToHost(const QString &host, quint16 port, std::chrono::milliseconds timeout)
{
    close();
    AddressRace race(m_watch);
    return adopt(race.connect(host, port, timeout), race);
}

bool Socket::connectToAddress(const QHostAddress &address, quint16 port,
                              std::chrono::milliseconds timeout)
{
    close();
    AddressRace race(m_watch);
    return adopt(race.connect({address}, port, timeout), race);
}

bool Socket::adopt(int descriptor, const AddressRace &race)
{
    m_fd = descriptor;
    if (!isOpen())
        m_error = race.error();
    return isOpen();
}

bool Socket::startTls(const QString &peerName, const QSslConfiguration &configuration,
                      std::chrono::milliseconds timeout)
{
    if (!isOpen() || m_tls) {
        m_error = InternetError::IncorrectHandleState;
        return false;
    }
    m_tls = std::make_unique<TlsStream>();
    m_tls->setWaitWatch(m_watch);
    return m_tls->start(m_fd, peerName, configuration, timeout) || failTls();
}

bool Socket::sendAll(const char *data, qsizetype size, std::chrono::milliseconds timeout)
{
    if (m_tls && isOpen()) {
        return m_tls->sendAll(data, size, timeout) || failTls();
    }
    if (!goesOn())
        return false;
    while (size > 0) {
        if (!isOpen()) {
            m_error = InternetError::FtpDropped;
            return false;
        }
        const ssize_t sent = ::send(m_fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= sent;
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(POLLOUT, timeout))
                return false;
        } else {
            return failWithErrno(errno);
        }
    }
    return true;
}

qsizetype Socket::receive(char *data, qsizetype size, std::chrono::milliseconds timeout)
{
    if (m_tls && isOpen()) {
        const qsizetype received = m_tls->receive(data, size, timeout);
        // A wait that ran out leaves the connection open, as without TLS: a caller that waits
        // in slices asks again.
        if (received < 0 && m_tls->error() == InternetError::Timeout)
            m_error = InternetError::Timeout;
        else if (received < 0)
            failTls();
        return received;
    }
    if (!goesOn())
        return -1;
    for (;;) {
        if (!isOpen()) {
            m_error = InternetError::FtpDropped;
            return -1;
        }
        const ssize_t received = ::recv(m_fd, data, static_cast<size_t>(size), 0);
        if (received >= 0)
            return received;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            failWithErrno(errno);
            return -1;
        }
        if (!waitFor(POLLIN, timeout))
            return -1;
    }
}

bool Socket::waitReadable(std::chrono::milliseconds timeout)
{
    if (m_tls)
        return isOpen() && m_tls->waitReadable(timeout);
    return isOpen() && pollFor(m_fd, POLLIN, timeout, m_watch) > 0;
}

bool Socket::waitWritable(std::chrono::milliseconds timeout)
{
    // Over TLS too: a send hands everything to the system before it returns.
    return isOpen() && pollFor(m_fd, POLLOUT, timeout) > 0;
}

void Socket::shutdownWrite()
{
    if (m_tls)
        m_tls->finish();
    else if (isOpen())
        ::shutdown(m_fd, SHUT_WR);
}

void Socket::close()
{
    if (m_tls) {
        m_tls->abandon();
        m_tls.reset(); // the descriptor went with it
    } else if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

QHostAddress Socket::localAddress() const
{
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (!isOpen() || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&storage), &length) != 0)
        return {};
    return addressOf(storage);
}

QHostAddress Socket::peerAddress() const
{
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (!isOpen() || ::getpeername(m_fd, reinterpret_cast<sockaddr *>(&storage), &length) != 0)
        return {};
    return addressOf(storage);
}

bool Socket::waitFor(short events, std::chrono::milliseconds timeout)
{
    const int ready = pollFor(m_fd, events, timeout, m_watch);
    if (ready > 0)
        return true;
    if (ready == 0) {
        m_error = InternetError::Timeout;
        return false;
    }
    return failWithErrno(errno);
}

bool Socket::goesOn()
{
    return !m_watch || m_watch() || failWithErrno(ECANCELED);
}

bool Socket::failTls()
{
    m_error = m_tls->error();
    m_tlsErrorText = m_tls->errorText();
    close();
    return false;
}

bool Socket::failWithErrno(int error)
{
    m_error = InternetError::ofSystemError(error);
    close();
    return false;
}

ListeningSocket::~ListeningSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ListeningSocket::listen(const QHostAddress &address)
{
    const SocketAddress local(address, 0);
    m_fd = local.openSocket();
    if (m_fd < 0 || ::bind(m_fd, local.data(), local.length()) != 0 || ::listen(m_fd, 1) != 0) {
        m_error = InternetError::InternalError;
        return false;
    }
    sockaddr_storage storage{};
    socklen_t size = sizeof storage;
    ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&storage), &size);
    m_port = storage.ss_family == AF_INET6
                 ? ntohs(reinterpret_cast<sockaddr_in6 *>(&storage)->sin6_port)
                 : ntohs(reinterpret_cast<sockaddr_in *>(&storage)->sin_port);
    return true;
}

Socket ListeningSocket::accept(const QHostAddress &from, std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const auto left = timeout - std::chrono::milliseconds(clock.elapsed());
        const int ready = pollFor(m_fd, POLLIN, std::max(left, {}));
        if (ready <= 0) {
            m_error = ready == 0 ? InternetError::Timeout : InternetError::ofSystemError(errno);
            return Socket();
        }
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            m_error = InternetError::ConnectionAborted;
            return Socket();
        }
        // Anyone who finds the port could otherwise hand us a file, or take the one we send.
        Socket connection(fd);
        if (connection.peerAddress().isEqual(from, QHostAddress::TolerantConversion))
            return connection;
    }
}

} // namespace Ftp
