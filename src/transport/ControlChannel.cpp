#include "ControlChannel.h"

#include "InternetError.h"
#include "NameCodec.h"

#include <QStringList>

#include <cctype>

namespace Ftp {

namespace {

// A server that sends a line longer than this, or a reply longer than this, is not an FTP
// server worth listening to: memory must not grow with what a server chooses to send.
constexpr qsizetype MaxLineLength = 64 * 1024;
constexpr qsizetype MaxReplyLength = 1024 * 1024;

bool startsWithCode(const QByteArray &line)
{
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2]));
}

} // namespace

bool ControlChannel::open(const QString &host, quint16 port, const Timeouts &timeouts)
{
    close();
    m_sendTimeout = timeouts.reply;
    if (!m_socket.connectToHost(host, port, timeouts.connect)) {
        m_error = m_socket.error();
        return false;
    }
    return true;
}

void ControlChannel::close()
{
    m_socket.close();
    m_input.clear();
}

bool ControlChannel::startTls(const QString &peerName, const QSslConfiguration &configuration)
{
    // Clear text that came after the 234 was not sent by the server we are about to trust:
    // it could only be injected.
    if (!m_input.isEmpty()) {
        m_error = InternetError::InvalidServerResponse;
        close();
        return false;
    }
    if (!m_socket.startTls(peerName, configuration, m_sendTimeout)) {
        m_error = m_socket.error();
        return false;
    }
    return true;
}

bool ControlChannel::send(const QByteArray &verb, const QByteArray &argument)
{
    QByteArray line = verb;
    if (!argument.isNull())
        line += ' ' + argument;
    line += "\r\n";
    // A command is tiny; the reply timeout bounds the wait for room in the socket.
    if (!m_socket.sendAll(line.constData(), line.size(), m_sendTimeout)) {
        m_error = m_socket.error();
        return false;
    }
    return true;
}

std::optional<Reply> ControlChannel::readReply(std::chrono::milliseconds timeout)
{
    // The timeout bounds the whole reply, however many lines a server sends.
    const QDeadlineTimer deadline(timeout);
    auto first = readLine(deadline);
    if (!first)
        return std::nullopt;
    if (!startsWithCode(*first)) {
        m_error = InternetError::InvalidServerResponse;
        close();
        return std::nullopt;
    }
    Reply reply;
    reply.code = first->left(3).toInt();
    QStringList lines{NameCodec::decode(*first)};
    if (first->size() > 3 && first->at(3) == '-') {
        // A multi-line reply ends with the same code followed by a blank.
        const QByteArray end = first->left(3) + ' ';
        qsizetype length = first->size();
        for (;;) {
            auto line = readLine(deadline);
            if (!line)
                return std::nullopt;
            length += line->size();
            if (length > MaxReplyLength) {
                m_error = InternetError::InvalidServerResponse;
                close();
                return std::nullopt;
            }
            lines << NameCodec::decode(*line);
            if (line->startsWith(end) || *line == first->left(3))
                break;
        }
    }
    reply.text = lines.join(QStringLiteral("\r\n"));
    return reply;
}

bool ControlChannel::replyPending(std::chrono::milliseconds timeout)
{
    return !m_input.isEmpty() || m_socket.waitReadable(timeout);
}

std::optional<QByteArray> ControlChannel::readLine(const QDeadlineTimer &deadline)
{
    for (;;) {
        const qsizetype newline = m_input.indexOf('\n');
        if (newline >= 0) {
            QByteArray line = m_input.left(newline);
            m_input.remove(0, newline + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            return line;
        }
        if (m_input.size() > MaxLineLength) {
            m_error = InternetError::InvalidServerResponse;
            close();
            return std::nullopt;
        }
        char chunk[4096];
        const qsizetype received = m_socket.receive(
            chunk, sizeof chunk, std::chrono::milliseconds(deadline.remainingTime()));
        if (received <= 0) {
            m_error = received == 0 ? InternetError::ConnectionAborted : m_socket.error();
            close();
            return std::nullopt;
        }
        m_input.append(chunk, received);
    }
}

} // namespace Ftp
