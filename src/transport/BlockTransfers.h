#pragma once

#include "transport/FileTransfer.h"
#include "transport/Resume.h"

#include <QIODevice>
#include <QString>

#include <memory>

class ChannelOwner;
class FailureRecorder;
class LocalPath;
class QFile;
class QFileDevice;

namespace Ftp {
class Session;
}

// The plain channel's transfers of one file, in blocks of BlockSize bytes: progress after
// every block, the message loop and the cancel check after every block and while the server
// keeps the transfer waiting. A failed or cancelled transfer leaves the earlier version of
// the file, on the server or on the disk, as it was.
class BlockTransfers
{
public:
    static constexpr int BlockSize = 255;
    // How many blocks an upload reads from its local file at once.
    static constexpr int RunBlocks = 1024;

    BlockTransfers(Ftp::Session &session, ChannelOwner &owner, FailureRecorder &failures);

    void setTransferType(Ftp::TransferType type) { m_type = type; }
    bool upload(const LocalPath &local, const QString &remote, Resume resume);
    // `total` is the server's size of the file, which must be above 0.
    bool download(const LocalPath &local, const QString &remote, qint64 total, Resume resume);

private:
    enum class Outcome { Done, Failed, Cancelled };

    // Puts a confirmed upload in the target's place.
    bool replaceWithUpload(const QString &partial, const QString &remote);
    // Opens a server file for a block transfer that lets the message loop run and a cancel act
    // while it waits for the server.
    std::unique_ptr<Ftp::FileTransfer> open(const QString &remote,
                                            Ftp::FileTransfer::Direction direction);
    // Ends a transfer that did not complete: at once when it was cancelled.
    static void end(Ftp::FileTransfer &transfer, Outcome outcome);
    // After a failed block: a cancel, or a failure recorded under the operation's name.
    Outcome failedOrCancelled(const QString &operation);
    Outcome sendBlocks(QFile &local, Ftp::FileTransfer &transfer, qint64 total);
    Outcome receiveBlocks(Ftp::FileTransfer &transfer, QFileDevice &local, qint64 total);
    bool afterBlock(qint64 count, qint64 total);
    // Opens a local file of a transfer; records why when it cannot.
    bool openLocal(QFileDevice &file, const LocalPath &local, QIODevice::OpenMode mode);

    Ftp::Session &m_session;
    ChannelOwner &m_owner;
    FailureRecorder &m_failures;
    Ftp::TransferType m_type = Ftp::TransferType::Binary;
};
