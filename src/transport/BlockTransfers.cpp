#include "transport/BlockTransfers.h"

#include "platform/PartialName.h"
#include "platform/ReplacingFile.h"
#include "platform/UploadSource.h"
#include "transport/ChannelOwner.h"
#include "transport/FailureRecorder.h"
#include "transport/InternetError.h"
#include "transport/LocalPath.h"
#include "transport/Session.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

using Ftp::FileTransfer;
namespace InternetError = Ftp::InternetError;

BlockTransfers::BlockTransfers(Ftp::Session &session, ChannelOwner &owner,
                               FailureRecorder &failures)
    : m_session(session)
    , m_owner(owner)
    , m_failures(failures)
    , m_checks(session)
{}

// A failed transfer releases the local file and the server transfer on its way out (both are
// owned by the function), so no later transfer can find them still open.

bool BlockTransfers::upload(const LocalPath &local, const QString &remote, Resume resume)
{
    if (local.dosPath().isEmpty() || remote.isEmpty())
        return false;
    // The file goes up under another name first: a target name that cannot be sent would be
    // found out only once every byte had gone.
    if (!m_session.checkArgument(remote)) {
        m_failures.recordLast(QStringLiteral("FtpOpenFile:PutFile"));
        return false;
    }

    // The local file is opened before the server file: a local path that cannot be read must
    // not leave an empty file on the server, nor empty an existing one.
    QFile file(local.linuxPath());
    // Read in runs of blocks (see sendBlocks), unbuffered: the file's own buffer would only copy
    // them. A pipe is opened without waiting for its writer.
    if (!openLocal(file, local, [&file] { return Platform::UploadSource::open(file); }))
        return false;
    // The file goes up under a name of its own beside the target, which it replaces only once
    // the server has confirmed it whole: a failed or cancelled upload leaves the server's
    // earlier version as it was.
    const QString partial = PartialName::pathFor(remote);
    // A pipe or a device has no size and cannot be read twice: its bytes go up as they come,
    // until its end, and an upload of it always starts over (resumable() refuses an unknown
    // size).
    const bool stream = file.isSequential();
    const qint64 total = stream ? UnknownSize : file.size();
    qint64 at = resume == Resume::Continue && resumable(total)
                    ? m_checks.uploadedPart(partial, QFileInfo(file))
                    : 0;
    if (!sendFrom(file, partial, at, total))
        return false;
    // A continued file is checked whole on the server; one that is not goes once more.
    if (at > 0 && !m_checks.sameAsServer(partial, file)) {
        at = 0;
        if (!sendFrom(file, partial, at, total))
            return false;
    }
    file.close();
    if (!replaceWithUpload(partial, remote, total))
        return false;
    // A stream's every block has told its progress already, the last one included.
    if (!stream)
        m_owner.reportProgress(total, total);
    return true;
}

bool BlockTransfers::sendFrom(QFile &local, const QString &partial, qint64 &at, qint64 total)
{
    // Starting over, what stands under the partial's name goes first: a server writes through a
    // link there, which another user may have put in a folder shared with others, and the link
    // would then take the target's name.
    const auto clearPartial = [&] {
        m_session.discardAfterFailure(partial);
        return true;
    };
    if (at == 0)
        clearPartial();
    const std::unique_ptr<FileTransfer> transfer =
        openAt(partial, FileTransfer::Direction::Write, at, clearPartial);
    if (!transfer) {
        m_failures.recordLast(QStringLiteral("FtpOpenFile:PutFile"));
        return false;
    }
    if (at > 0)
        m_owner.reportResumed(at, total);
    // A partial too small to be worth continuing is not left behind. The engine is asked
    // directly to remove it, so the failure already recorded stays the one told, and the one
    // a retry judges.
    const auto giveUp = [&] {
        if (!resumable(total))
            m_session.discardAfterFailure(partial);
        return false;
    };
    if (!local.isSequential() && !local.seek(at)) {
        m_failures.recordLocal(local);
        transfer->abort();
        return giveUp();
    }
    const Outcome outcome = local.isSequential() ? sendStream(local, *transfer)
                                                 : sendBlocks(local, *transfer, at, total);
    if (outcome != Outcome::Done) {
        // The session carries one command at a time: the transfer ends before anything else.
        end(*transfer, outcome);
        return giveUp();
    }
    // Only the server's confirmation makes the upload a success.
    if (!transfer->finish()) {
        if (!m_owner.cancelRequested())
            m_failures.recordLast(QStringLiteral("InternetWriteFile2"));
        return giveUp();
    }
    return true;
}

bool BlockTransfers::replaceWithUpload(const QString &partial, const QString &remote, qint64 total)
{
    // Renamed over the old file, the new one would have the server's default permissions: it
    // takes the old one's, so that a private file stays private. A server that cannot tell or
    // set them gets the file all the same.
    if (const std::optional<int> mode = m_session.fileMode(remote))
        m_session.setFileMode(partial, *mode);
    if (m_session.rename(partial, remote))
        return true;
    // Some servers do not rename over an existing file: the old one goes first. Only once the
    // new file has taken a second hidden name, though, for a server that renames nothing at
    // all would leave it under its hidden name and the old one gone.
    QString waiting = partial;
    bool oldGone = false;
    if (m_session.lastError() == InternetError::ExtendedError) {
        const QString aside = PartialName::pathFor(partial);
        if (m_session.rename(partial, aside)) {
            waiting = aside;
            oldGone = m_session.deleteFile(remote);
            if (oldGone && m_session.rename(aside, remote))
                return true;
        }
    }
    m_failures.recordLast(QStringLiteral("RenameFTPFile"));
    // The new file stays whole under its hidden name rather than be lost with the old one.
    // Beside an old one that still stands (or a folder of that name), it is not left behind
    // when it is too small to continue, nor under the second name, where no upload looks.
    if (!oldGone && (waiting != partial || !resumable(total)))
        m_session.discardAfterFailure(waiting);
    return false;
}

BlockTransfers::Outcome BlockTransfers::sendBlocks(QFile &local, FileTransfer &transfer,
                                                   qint64 from, qint64 total)
{
    // The file is read a run of blocks at a time, straight into one buffer: reading it block
    // by block through the file's own buffer cost a call and a copy for every 255 bytes. The
    // blocks still go to the transfer, with their progress and cancel check, one by one.
    QByteArray run(std::min(total - from, qint64(RunBlocks) * BlockSize), Qt::Uninitialized);
    qint64 count = from;
    while (count < total) {
        const qint64 size = std::min(total - count, qint64(run.size()));
        if (local.read(run.data(), size) != size) {
            m_failures.recordLocal(local);
            return Outcome::Failed;
        }
        if (const Outcome sent = sendRun(run.constData(), size, transfer, count, total);
            sent != Outcome::Done)
            return sent;
    }
    return Outcome::Done;
}

BlockTransfers::Outcome BlockTransfers::sendStream(QFile &local, FileTransfer &transfer)
{
    // Whatever the stream holds goes, up to a run: a slow writer's bytes are not held back
    // until a whole run has come.
    QByteArray run(qint64(RunBlocks) * BlockSize, Qt::Uninitialized);
    qint64 count = 0;
    for (;;) {
        QString why;
        const qint64 size = Platform::UploadSource::readSome(
            local, run.data(), run.size(),
            [this] {
                m_owner.pumpMessages();
                return !m_owner.cancelRequested();
            },
            &why);
        if (size == Platform::UploadSource::Stopped)
            return Outcome::Cancelled;
        if (size < 0) {
            m_failures.recordLocal(local.fileName(), why);
            return Outcome::Failed;
        }
        if (size == 0)
            return Outcome::Done;
        if (const Outcome sent = sendRun(run.constData(), size, transfer, count, UnknownSize);
            sent != Outcome::Done)
            return sent;
    }
}

BlockTransfers::Outcome BlockTransfers::sendRun(const char *data, qint64 size,
                                                FileTransfer &transfer, qint64 &count, qint64 total)
{
    for (qint64 at = 0; at < size; at += BlockSize) {
        const qint64 block = std::min(size - at, qint64(BlockSize));
        // The last, short block has a name of its own in the failure told.
        if (!transfer.write(data + at, block))
            return failedOrCancelled(block == BlockSize ? QStringLiteral("InternetWriteFile")
                                                        : QStringLiteral("InternetWriteFile2"));
        count += block;
        // A file's last block is told whole once the server has it; a stream's end is not
        // known before it comes, so each of its blocks tells its progress.
        if ((block == BlockSize || total == UnknownSize) && !afterBlock(count, total))
            return Outcome::Cancelled;
    }
    return Outcome::Done;
}

bool BlockTransfers::download(const LocalPath &local, const QString &remote, qint64 total,
                              Resume resume)
{
    // The download goes to a new version beside the local file, which it replaces only once
    // it is whole and the server has confirmed it: a failed or cancelled download leaves the
    // old file as it was. A link of that name is replaced, not written through. A large file
    // keeps its new version, with a note of what it is a copy of, for the next attempt. It is
    // opened first, so that a local file that cannot be written costs the server nothing.
    // A device or a pipe is written into, and keeps nothing to continue.
    const bool keepsPartial =
        resumable(total) && Platform::ReplacingFile::replaces(local.linuxPath());
    const std::optional<QByteArray> origin =
        keepsPartial ? m_checks.originOf(remote, total) : std::nullopt;
    std::optional<Platform::ReplacingFile> file;
    if (origin)
        file.emplace(local.linuxPath(), *origin);
    else
        file.emplace(local.linuxPath());
    // Written in runs of blocks (see receiveBlocks): the file's own buffer would only copy them.
    if (!openLocal(*file, local,
                   [&file] { return file->open(QIODevice::WriteOnly | QIODevice::Unbuffered); }))
        return false;
    // A partial longer than the file is no part of it, however its note reads.
    const bool startsOver = resume == Resume::StartOver || file->resumedAt() > total;
    if (startsOver && file->resumedAt() > 0 && !file->startOver()) {
        m_failures.recordLocal(*file);
        return false;
    }
    if (!receiveWhole(remote, *file, total)) {
        // Only what a cut or a cancel stopped is worth continuing: a partial that filled the
        // disk, hidden from the lists, does not stay to keep it full.
        if (file->error() != QFileDevice::NoError)
            file->discard();
        return false;
    }
    if (!file->commit()) {
        m_failures.recordLocal(*file);
        return false;
    }
    m_owner.reportProgress(total, total);
    return true;
}

bool BlockTransfers::receiveWhole(const QString &remote, Platform::ReplacingFile &local,
                                  qint64 total)
{
    qint64 at = local.resumedAt();
    if (!receiveFrom(remote, local, at, total))
        return false;
    // A continued file is checked whole; one that is not comes once more.
    if (at == 0 || receivedWhole(remote, local.fileName()))
        return true;
    return receiveFromStart(remote, local, at, total);
}

bool BlockTransfers::receiveFromStart(const QString &remote, Platform::ReplacingFile &local,
                                      qint64 &at, qint64 total)
{
    if (!local.startOver()) {
        m_failures.recordLocal(local);
        return false;
    }
    at = 0;
    return receiveFrom(remote, local, at, total);
}

bool BlockTransfers::receivedWhole(const QString &remote, const QString &target)
{
    QFile copy(PartialName::pathFor(target));
    return copy.open(QIODevice::ReadOnly) && m_checks.sameAsServer(remote, copy);
}

bool BlockTransfers::receiveAfterOverrun(const QString &remote, Platform::ReplacingFile &local,
                                         qint64 &at, qint64 total)
{
    // What arrived is no copy of the file, and no partial to continue. A device or a pipe
    // written into keeps what it was sent, as it would of a cut download.
    if (at == 0) {
        local.discard();
        return false;
    }
    // A continued download that overran met a server that took the restart and sent from the
    // start all the same: the file comes once more from the start, where the server begins
    // anyway.
    return receiveFromStart(remote, local, at, total);
}

bool BlockTransfers::receiveFrom(const QString &remote, Platform::ReplacingFile &local, qint64 &at,
                                 qint64 total)
{
    const std::unique_ptr<FileTransfer> transfer =
        openAt(remote, FileTransfer::Direction::Read, at, [&] { return local.startOver(); });
    if (!transfer) {
        m_failures.recordLast(QStringLiteral("FtpOpenFile:GetFile"));
        return false;
    }
    if (at > 0)
        m_owner.reportResumed(at, total);
    const Outcome outcome = receiveBlocks(*transfer, local, at, total);
    if (outcome != Outcome::Done) {
        end(*transfer, outcome);
        return outcome == Outcome::Overran ? receiveAfterOverrun(remote, local, at, total) : false;
    }
    // Written out before the server is asked, so that a full disk is told as what it is.
    if (!local.flush()) {
        m_failures.recordLocal(local);
        transfer->abort();
        return false;
    }
    if (!transfer->finish()) {
        if (!m_owner.cancelRequested())
            m_failures.recordLast(QStringLiteral("InternetReadFile2"));
        return false;
    }
    return true;
}

BlockTransfers::Outcome BlockTransfers::receiveBlocks(FileTransfer &transfer, QFileDevice &local,
                                                      qint64 from, qint64 total)
{
    // The blocks are gathered into runs, each written in one call: the file's own buffer
    // would write them 16 KiB at a time. What arrived is written before any return, so that
    // a cut transfer's partial holds every block received.
    QByteArray run(std::min(total - from, qint64(RunBlocks) * BlockSize), Qt::Uninitialized);
    qsizetype held = 0;
    const auto writeHeld = [&](bool recordFailure) {
        // A write cut short (a full disk, a file too large) tells no reason; the next one,
        // which fails outright, does.
        qsizetype written = 0;
        while (written < held) {
            const qint64 wrote = local.write(run.constData() + written, held - written);
            if (wrote <= 0)
                break;
            written += wrote;
        }
        const bool whole = written == held;
        held = 0;
        if (!whole && recordFailure)
            m_failures.recordLocal(local);
        return whole;
    };
    const auto ending = [&](Outcome outcome) {
        writeHeld(false);
        return outcome;
    };
    Outcome failure = Outcome::Failed;
    // Fewer bytes than the listing gave mean the server ended the file early.
    const auto readBlock = [&](qint64 size, const QString &operation) {
        if (held + size > run.size() && !writeHeld(true))
            return false;
        const qsizetype read = transfer.read(run.data() + held, size);
        if (read == size) {
            held += size;
            return true;
        }
        if (read < 0)
            failure = failedOrCancelled(operation);
        else
            m_failures.record(InternetError::ConnectionAborted, operation);
        return false;
    };

    const qint64 fullBlocks = (total - from) / BlockSize;
    qint64 count = from + 1; // a download counts from 1
    for (qint64 i = 0; i < fullBlocks; ++i) {
        if (!readBlock(BlockSize, QStringLiteral("InternetReadFile")))
            return ending(failure);
        count += BlockSize;
        if (!afterBlock(count, total))
            return ending(Outcome::Cancelled);
    }

    const qint64 rest = total - from - fullBlocks * BlockSize;
    if (rest > 0 && !readBlock(rest, QStringLiteral("InternetReadFile2")))
        return ending(failure);
    if (!writeHeld(true))
        return Outcome::Failed;
    // More bytes than the size given mean the file is not the one that was sized: what arrived
    // is no whole copy of anything.
    char probe = 0;
    const qsizetype beyond = transfer.read(&probe, 1);
    if (beyond < 0)
        return failedOrCancelled(QStringLiteral("InternetReadFile2"));
    if (beyond > 0) {
        m_failures.recordText(QStringLiteral("The server sent more than the %1 bytes it gave as "
                                             "the size of the file.")
                                  .arg(total));
        return Outcome::Overran;
    }
    return Outcome::Done;
}

bool BlockTransfers::resumable(qint64 total) const
{
    // In ASCII mode the server's bytes and the local ones differ in their line ends: an offset
    // into one is no offset into the other.
    return total >= ResumeThreshold && m_type == Ftp::TransferType::Binary;
}

std::unique_ptr<FileTransfer> BlockTransfers::openAt(const QString &remote,
                                                     FileTransfer::Direction direction, qint64 &at,
                                                     const std::function<bool()> &startOver)
{
    std::unique_ptr<FileTransfer> transfer = open(remote, direction, at);
    // A server that refuses to continue (it knows no REST, or not for this file) still takes
    // the whole file; a lost session or a cancel is no such refusal.
    if (!transfer && at > 0 && m_session.isConnected() && !m_owner.cancelRequested() &&
        startOver()) {
        at = 0;
        transfer = open(remote, direction, 0);
    }
    return transfer;
}

std::unique_ptr<FileTransfer> BlockTransfers::open(const QString &remote,
                                                   FileTransfer::Direction direction, qint64 at)
{
    std::unique_ptr<FileTransfer> transfer = m_session.openFile(remote, direction, m_type, at);
    // While the server keeps the transfer waiting, the message loop runs and a cancel acts.
    if (transfer) {
        transfer->setWatch([this] {
            m_owner.pumpMessages();
            return !m_owner.cancelRequested();
        });
    }
    return transfer;
}

void BlockTransfers::end(FileTransfer &transfer, Outcome outcome)
{
    if (outcome == Outcome::Cancelled)
        transfer.cancel();
    else
        transfer.abort();
}

BlockTransfers::Outcome BlockTransfers::failedOrCancelled(const QString &operation)
{
    // A cancel that came while the transfer waited for the server is no failure to record.
    if (m_owner.cancelRequested())
        return Outcome::Cancelled;
    m_failures.recordLast(operation);
    return Outcome::Failed;
}

bool BlockTransfers::afterBlock(qint64 count, qint64 total)
{
    m_owner.pumpMessages();
    if (m_owner.cancelRequested())
        return false;
    m_owner.reportProgress(count, total);
    return true;
}

bool BlockTransfers::openLocal(QFileDevice &file, const LocalPath &local,
                               const std::function<bool()> &open)
{
    if (file.fileName().isEmpty()) {
        m_failures.recordText(QStringLiteral("The local path %1 lies on no drive of this computer.")
                                  .arg(local.dosPath()));
        return false;
    }
    if (!open()) {
        m_failures.recordLocal(file);
        return false;
    }
    return true;
}
