#include "FileTransfer.h"

#include "InternetError.h"
#include "Session.h"

#include <cstring>

namespace Ftp {

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
            if (!m_data.sendAll(data, size, m_session.timeouts().data))
                return m_session.failData(m_data.error());
            return true;
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
            const qsizetype received =
                m_data.receive(m_buffer.data(), BufferSize, m_session.timeouts().data);
            if (received < 0) {
                m_session.failData(m_data.error());
                return -1;
            }
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

void FileTransfer::detach()
{
    m_data.close();
    m_closed = true;
}

bool FileTransfer::flush()
{
    if (m_end > 0 && !m_data.sendAll(m_buffer.constData(), m_end, m_session.timeouts().data))
        return m_session.failData(m_data.error());
    m_end = 0;
    return true;
}

bool FileTransfer::end(bool expectComplete)
{
    // Closing the data connection marks the end of an upload; for a download the server has
    // already closed it, or learns from the close that we stopped reading. Only a complete
    // transfer says goodbye: over TLS that waits for the server to read it.
    if (expectComplete)
        m_data.shutdownWrite();
    m_data.close();
    m_closed = true;
    m_session.m_transfer = nullptr;
    return m_session.transferEnded(expectComplete);
}

} // namespace Ftp
