#pragma once

#include "transport/FileTransfer.h"
#include "transport/Resume.h"
#include "transport/ResumeChecks.h"

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

class ChannelOwner;
class FailureRecorder;
class LocalPath;
class QFile;
class QFileDevice;

namespace Ftp {
class Session;
}
namespace Platform {
class ReplacingFile;
}

// The plain channel's transfers of one file, in blocks of BlockSize bytes: progress after
// every block, the message loop and the cancel check after every block and while the server
// keeps the transfer waiting. A failed or cancelled transfer leaves the earlier version of
// the file, on the server or on the disk, as it was. One of a file of ResumeThreshold bytes or
// more (in binary mode) keeps its partial file, which the next transfer of the file continues
// and then checks whole; a check that fails sends the file once more from the start.
class BlockTransfers
{
public:
    static constexpr int BlockSize = 255;
    // How many blocks an upload reads from its local file at once.
    static constexpr int RunBlocks = 1024;
    // The total told with the progress of an upload from a pipe or a device.
    static constexpr qint64 UnknownSize = 0;

    BlockTransfers(Ftp::Session &session, ChannelOwner &owner, FailureRecorder &failures);

    void setTransferType(Ftp::TransferType type) { m_type = type; }
    // See ResumeChecks::setServer.
    void setServer(const QString &server) { m_checks.setServer(server); }
    bool upload(const LocalPath &local, const QString &remote, Resume resume);
    // `total` is the server's size of the file, which must be above 0.
    bool download(const LocalPath &local, const QString &remote, qint64 total, Resume resume);

private:
    enum class Outcome {
        Done,
        Failed,
        Cancelled,
        Overran, // a download brought more than the rest of the file
    };

    // Whether a transfer of this many bytes keeps its partial file to be continued.
    bool resumable(qint64 total) const;
    // Sends the local file from `at` (0 when the server cannot continue there) into the partial
    // file, to the server's confirmation.
    bool sendFrom(QFile &local, const QString &partial, qint64 &at, qint64 total);
    // Receives the server's file from `at` (0 when the server cannot continue there) into the
    // new local version, to the server's confirmation.
    bool receiveFrom(const QString &remote, Platform::ReplacingFile &local, qint64 &at,
                     qint64 total);
    // After a download that brought more than the rest of the file: empties the new local
    // version and, where it was continued, receives the file once more from the start.
    bool receiveAfterOverrun(const QString &remote, Platform::ReplacingFile &local, qint64 &at,
                             qint64 total);
    // Empties the new local version and receives the file into it from its first byte, `at`
    // set to 0.
    bool receiveFromStart(const QString &remote, Platform::ReplacingFile &local, qint64 &at,
                          qint64 total);
    // A download into a new local version, continued from where it stands.
    bool receiveWhole(const QString &remote, Platform::ReplacingFile &local, qint64 total);
    // Whether the new local version is the server's file, read back from the disk.
    bool receivedWhole(const QString &remote, const QString &target);
    // Opens the server file at `at`; where the server cannot continue there, from the start,
    // after `startOver` (a failed open with the session gone or cancelled is no such case).
    std::unique_ptr<Ftp::FileTransfer> openAt(const QString &remote,
                                              Ftp::FileTransfer::Direction direction, qint64 &at,
                                              const std::function<bool()> &startOver);

    // Puts a confirmed upload in the target's place.
    bool replaceWithUpload(const QString &partial, const QString &remote, qint64 total);
    // Opens a server file for a block transfer that lets the message loop run and a cancel act
    // while it waits for the server.
    std::unique_ptr<Ftp::FileTransfer> open(const QString &remote,
                                            Ftp::FileTransfer::Direction direction, qint64 at);
    // Ends a transfer that did not complete: at once when it was cancelled.
    static void end(Ftp::FileTransfer &transfer, Outcome outcome);
    // After a failed block: a cancel, or a failure recorded under the operation's name.
    Outcome failedOrCancelled(const QString &operation);
    Outcome sendBlocks(QFile &local, Ftp::FileTransfer &transfer, qint64 from, qint64 total);
    Outcome receiveBlocks(Ftp::FileTransfer &transfer, QFileDevice &local, qint64 from,
                          qint64 total);
    // Sends what a pipe or a device gives until its end.
    Outcome sendStream(QFile &local, Ftp::FileTransfer &transfer);
    // Sends bytes read from the local file block by block, counting them into `count`.
    Outcome sendRun(const char *data, qint64 size, Ftp::FileTransfer &transfer, qint64 &count,
                    qint64 total);
    bool afterBlock(qint64 count, qint64 total);
    // Opens a local file of a transfer through open; records why when it cannot.
    bool openLocal(QFileDevice &file, const LocalPath &local, const std::function<bool()> &open);

    Ftp::Session &m_session;
    ChannelOwner &m_owner;
    FailureRecorder &m_failures;
    Ftp::TransferType m_type = Ftp::TransferType::Binary;
    ResumeChecks m_checks;
};
