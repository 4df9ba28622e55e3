#include "FileTransfer.h"

#include "InternetError.h"
#include "Session.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <cstring>

namespace Ftp {

namespace {

// The most handed to the socket each time it says it can take more: far less than it then
// takes, so that sending a piece never waits on a slow server.
constexpr qsizetype SendPiece = 64 * 1024;

} // namespace

FileTransfer::FileTransfer(Session &session, Socket data, Direction direction)
    : m_session(session)
    , m_data(std::move(data))
    , m_direction(direction)
{
    m_buffer.resize(BufferSize);
}

FileTransfer::~FileTransfer()
{
    if (!m_closed)
        abort();
    if (m_session.m_transfer == this)
        m_session.m_transfer = nullptr;
}

bool FileTransfer::write(const char *data, qsizetype size)
{
    if (m_closed || m_direction != Direction::Write)
        return m_session.fail(m_closed ? InternetError::FtpDropped
                                       : InternetError::IncorrectHandleState);
    while (size > 0) {
        if (m_end == 0 && size >= BufferSize) {
            // A large block goes straight out; copying it would only cost time.
            return send(data, size);
        }
        const qsizetype chunk = std::min(size, BufferSize - m_end);
        std::memcpy(m_buffer.data() + m_end, data, static_cast<size_t>(chunk));
        m_end += chunk;
        data += chunk;
        size -= chunk;
        if (m_end == BufferSize && !flush())
            return false;
    }
    return true;
}

qsizetype FileTransfer::read(char *data, qsizetype size)
{
    if (m_closed || m_direction != Direction::Read) {
        m_session.fail(m_closed ? InternetError::FtpDropped : InternetError::IncorrectHandleState);
        return -1;
    }
    qsizetype done = 0;
    while (done < size) {
        if (m_begin == m_end) {
            if (m_atEnd)
                break;
            const qsizetype received = receive(m_buffer.data(), BufferSize);
            if (received < 0)
                return -1;
            m_begin = 0;
            m_end = received;
            m_atEnd = received == 0;
            continue;
        }
        const qsizetype chunk = std::min(size - done, m_end - m_begin);
        std::memcpy(data + done, m_buffer.constData() + m_begin, static_cast<size_t>(chunk));
        m_begin += chunk;
        done += chunk;
    }
    return done;
}

bool FileTransfer::finish()
{
    if (m_closed)
        return m_session.fail(InternetError::FtpDropped);
    if (m_direction == Direction::Write && !flush()) {
        abort();
        return false;
    }
    return end(true);
}

void FileTransfer::abort()
{
    if (!m_closed)
        end(false);
}

void FileTransfer::cancel()
{
    if (m_closed)
        return;
    m_data.close();
    m_closed = true;
    m_session.m_transfer = nullptr;
    m_session.transferCancelled();
}

void FileTransfer::detach()
{
    m_data.close();
    m_closed = true;
}

bool FileTransfer::flush()
{
    if (!send(m_buffer.constData(), m_end))
        return false;
    m_end = 0;
    return true;
}

bool FileTransfer::send(const char *data, qsizetype size)
{
    if (!m_watch) {
        return size == 0 || m_data.sendAll(data, size, m_session.timeouts().data) ||
               m_session.failData(m_data.error());
    }
    while (size > 0) {
        const qsizetype piece = std::min(size, SendPiece);
        if (!awaitWritable())
            return false;
        if (!m_data.sendAll(data, piece, m_session.timeouts().data))
            return m_session.failData(m_data.error());
        data += piece;
        size -= piece;
    }
    return true;
}

qsizetype FileTransfer::receive(char *data, qsizetype size)
{
    if (!m_watch) {
        const qsizetype received = m_data.receive(data, size, m_session.timeouts().data);
        if (received < 0)
            m_session.failData(m_data.error());
        return received;
    }
    const QDeadlineTimer deadline(m_session.timeouts().data);
    for (;;) {
        const qsizetype received = m_data.receive(data, size, WatchSlice);
        if (received >= 0)
            return received;
        if (m_data.error() != InternetError::Timeout || deadline.hasExpired()) {
            m_session.failData(m_data.error());
            return -1;
        }
        if (!goesOn())
            return -1;
    }
}

bool FileTransfer::awaitWritable()
{
    const QDeadlineTimer deadline(m_session.timeouts().data);
    while (!m_data.waitWritable(WatchSlice)) {
        if (deadline.hasExpired())
            return m_session.fail(InternetError::Timeout);
        if (!goesOn())
            return false;
    }
    return true;
}

bool FileTransfer::awaitAnswer()
{
    if (!m_watch)
        return true;
    const QDeadlineTimer deadline(m_session.timeouts().reply);
    for (;;) {
        QElapsedTimer waited;
        waited.start();
        if (m_session.m_control.replyPending(WatchSlice) || deadline.hasExpired())
            return true;
        // A cancel comes first: a signal that asks the program to stop ends the wait early too.
        if (!goesOn()) {
            cancel(); // nothing to do when the watch closed the session
            return false;
        }
        // A wait that ends before its time without an answer met a broken connection: the
        // reply's own wait tells what broke.
        if (waited.elapsed() < WatchSlice.count() / 2)
            return true;
    }
}

bool FileTransfer::goesOn()
{
    if (!m_watch())
        return m_session.fail(InternetError::OperationCancelled);
    // The watch may have closed the session (Exit in a window), and the transfer with it.
    if (m_closed)
        return m_session.fail(InternetError::FtpDropped);
    return true;
}

bool FileTransfer::end(bool expectComplete)
{
    // Closing the data connection marks the end of an upload; for a download the server has
    // already closed it, or learns from the close that we stopped reading. Only a complete
    // transfer says goodbye: over TLS that waits for the server to read it. The server answers
    // once it has taken all there is, which over a slow line takes as long as what the
    // system still held for it: that wait may be cancelled too.
    if (expectComplete) {
        m_data.shutdownWrite();
        if (!awaitAnswer())
            return false;
    }
    m_data.close();
    m_closed = true;
    m_session.m_transfer = nullptr;
    return m_session.transferEnded(expectComplete);
}

} // namespace Ftp
