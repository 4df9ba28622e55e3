#pragma once

#include "Socket.h"
#include "WaitWatch.h"

#include <QByteArray>

namespace Ftp {

class Session;

enum class TransferType { Ascii, Binary };

// One server file opened for reading (RETR) or writing (STOR). Small block calls go through
// a buffer, so a caller that moves 255 bytes at a time still gives the socket large writes
// and reads. Memory use does not grow with the file.
//
// With a watch set, no wait for the network holds the caller longer than a slice: a slow or
// stalled server leaves the program's message loop running and a cancel acting at once.
class FileTransfer
{
public:
    enum class Direction { Read, Write };
    static constexpr qsizetype BufferSize = 256 * 1024;

    // Asked whenever a wait for the server has lasted a WatchSlice. False fails the waiting
    // call with OperationCancelled; the session stays, and cancel() ends the transfer. The
    // transfer asks it between the data connection's waits, never inside them: the watch may
    // close the session (Exit in a window), and the data connection with it.
    void setWatch(WaitWatch watch) { m_watch = std::move(watch); }

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
    // Gives the transfer up at once, as the user asked: the data connection is closed and the
    // server's answer awaited only briefly. A server that does not answer at once costs the
    // session; the next command connects again.
    void cancel();

private:
    friend class Session;
    // The session was closed under the transfer: every further call fails.
    void detach();

    bool flush();
    // Sends in pieces, each once the socket can take it, asking the watch while it cannot.
    bool send(const char *data, qsizetype size);
    // Receives what has arrived, up to size; waits as read() does.
    qsizetype receive(char *data, qsizetype size);
    // Waits for the socket to take more, asking the watch; false with the session's error set.
    bool awaitWritable();
    // Waits for the server's answer to the transfer, asking the watch; false when it was
    // cancelled meanwhile (the transfer then is cancelled).
    bool awaitAnswer();
    // After the watch was asked: false, with the error set, when the transfer must not go on.
    bool goesOn();
    bool end(bool expectComplete);

    Session &m_session;
    Socket m_data;
    Direction m_direction;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // reading: first unread byte of m_buffer
    qsizetype m_end = 0;   // bytes held in m_buffer
    bool m_atEnd = false;
    bool m_closed = false;
    WaitWatch m_watch;
};

} // namespace Ftp
