#pragma once

#include "Socket.h"

#include <QByteArray>

namespace Ftp {

class Session;

enum class TransferType { Ascii, Binary };

// One server file opened for reading (RETR) or writing (STOR). Small block calls go through
// a buffer, so a caller that moves 255 bytes at a time still gives the socket large writes
// and reads. Memory use does not grow with the file.
class FileTransfer
{
public:
    enum class Direction { Read, Write };
    static constexpr qsizetype BufferSize = 256 * 1024;

    FileTransfer(Session &session, Socket data, Direction direction);
    ~FileTransfer(); // abandons an unfinished transfer
    FileTransfer(const FileTransfer &) = delete;
    FileTransfer &operator=(const FileTransfer &) = delete;

    Direction direction() const { return m_direction; }

    // Writing: queues the bytes, sending whenever the buffer is full. False on a failure,
    // with the session's last error set.
    bool write(const char *data, qsizetype size);
    // Reading: fills `data` with up to `size` bytes; fewer only at the end of the file
    // (0 there), -1 on a failure.
    qsizetype read(char *data, qsizetype size);
    // Ends the transfer: sends what is buffered, closes the data connection and requires the
    // server's 226 (or 250). Only then has the transfer succeeded.
    bool finish();
    // Gives the transfer up: closes the data connection and reads the server's answer to it,
    // so that the session can go on with its next command.
    void abort();

private:
    friend class Session;
    // The session was closed under the transfer: every further call fails.
    void detach();

    bool flush();
    bool end(bool expectComplete);

    Session &m_session;
    Socket m_data;
    Direction m_direction;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // reading: first unread byte of m_buffer
    qsizetype m_end = 0;   // bytes held in m_buffer
    bool m_atEnd = false;
    bool m_closed = false;
};

} // namespace Ftp
