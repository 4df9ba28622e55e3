#include "securelib/RemoteFiles.h"

#include "platform/PartialName.h"
#include "platform/UploadSource.h"
#include "securelib/SshConnection.h"
#include "securelib/TransferWatch.h"
#include "transport/ListingLimit.h"
#include "transport/Resume.h"

#include <QElapsedTimer>
#include <QFileDevice>
#include <QIODevice>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// What is kept in flight. The SSH library splits an upload's bytes into packets and sends
// them all before waiting for the first answer, and asks four times a download's read ahead.
// A near server is kept busy by 1 to 2 MiB, and its buffers slow down as they fill; over a
// long round trip the channel's whole window (2 MiB) must be on the way. A download asks
// 4 MiB ahead, which serves both.
constexpr qsizetype NearUploadChunk = 1024 * 1024;
constexpr qsizetype FarUploadChunk = 2 * 1024 * 1024;
constexpr qsizetype DownloadChunk = 1024 * 1024;
// A server that takes longer than this to answer a small request is far away.
constexpr std::chrono::milliseconds FarRoundTrip{10};
// How long a failed or cancelled transfer waits for a silent server to close its file: a
// server that answers at all answers sooner, so the user's cancel is not held up by a dead one.
constexpr std::chrono::milliseconds AbandonSilence{5000};
constexpr int PathBufferSize = 4096;
constexpr unsigned long NewFilePermissions =
    LIBSSH2_SFTP_S_IRUSR | LIBSSH2_SFTP_S_IWUSR | LIBSSH2_SFTP_S_IRGRP | LIBSSH2_SFTP_S_IROTH;
constexpr unsigned long ModeBits = 07777;

QString statusText(unsigned long code)
{
    switch (code) {
    case LIBSSH2_FX_EOF:
        return QStringLiteral("End of file");
    case LIBSSH2_FX_NO_SUCH_FILE:
    case LIBSSH2_FX_NO_SUCH_PATH:
        return QStringLiteral("No such file or folder");
    case LIBSSH2_FX_PERMISSION_DENIED:
    case LIBSSH2_FX_WRITE_PROTECT:
        return QStringLiteral("Permission denied");
    case LIBSSH2_FX_FILE_ALREADY_EXISTS:
        return QStringLiteral("The name is already taken");
    case LIBSSH2_FX_DIR_NOT_EMPTY:
        return QStringLiteral("The folder is not empty");
    case LIBSSH2_FX_NOT_A_DIRECTORY:
        return QStringLiteral("Not a folder");
    case LIBSSH2_FX_NO_SPACE_ON_FILESYSTEM:
    case LIBSSH2_FX_QUOTA_EXCEEDED:
        return QStringLiteral("No space left on the server");
    case LIBSSH2_FX_INVALID_FILENAME:
        return QStringLiteral("The name is not valid on the server");
    default:
        return QStringLiteral("The server refused it (SFTP status %1)").arg(code);
    }
}

QByteArray permissionText(unsigned long permissions)
{
    QByteArray text(10, '-');
    if (LIBSSH2_SFTP_S_ISDIR(permissions))
        text[0] = 'd';
    else if (LIBSSH2_SFTP_S_ISLNK(permissions))
        text[0] = 'l';
    static constexpr char Letters[] = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        if (permissions & (1UL << (8 - bit)))
            text[bit + 1] = Letters[bit];
    }
    return text;
}

struct HandleCloser
{
    void operator()(LIBSSH2_SFTP_HANDLE *handle) const { libssh2_sftp_close_handle(handle); }
};
using Handle = std::unique_ptr<LIBSSH2_SFTP_HANDLE, HandleCloser>;

// Reads the next bytes of an upload's source: of a pipe or a device what it holds so far (see
// UploadSource::readSome, which asks goesOn while the stream is silent), of a file as many as
// asked. -1 on a failure, with why; UploadSource::Stopped when goesOn said no.
qint64 readSource(QIODevice &source, char *data, qint64 size, const std::function<bool()> &goesOn,
                  QString *why)
{
    auto *stream = source.isSequential() ? qobject_cast<QFileDevice *>(&source) : nullptr;
    if (stream)
        return Platform::UploadSource::readSome(*stream, data, size, goesOn, why);
    const qint64 read = source.read(data, size);
    if (read < 0)
        *why = source.errorString();
    return read;
}

} // namespace

RemoteFiles::RemoteFiles(SshConnection &connection)
    : m_connection(connection)
    , m_session(connection.session())
    , m_sftp(connection.sftp())
{}

bool RemoteFiles::failedWith(const QString &why)
{
    m_error = why;
    return false;
}

bool RemoteFiles::failed(int result)
{
    if (result == LIBSSH2_ERROR_SFTP_PROTOCOL) {
        const unsigned long status = libssh2_sftp_last_error(m_sftp);
        m_notFound = status == LIBSSH2_FX_NO_SUCH_FILE || status == LIBSSH2_FX_NO_SUCH_PATH;
        return failedWith(statusText(status));
    }
    m_notFound = false;
    loseConnection();
    if (result == LIBSSH2_ERROR_TIMEOUT || result == LIBSSH2_ERROR_SOCKET_TIMEOUT)
        return failedWith(QStringLiteral("The connection was lost: the server did not answer in "
                                         "time."));
    char *message = nullptr;
    int length = 0;
    libssh2_session_last_error(m_session, &message, &length, 0);
    return failedWith(
        QStringLiteral("The connection was lost: %1").arg(QString::fromUtf8(message, length)));
}

void RemoteFiles::loseConnection()
{
    // Nothing more can be asked of this connection; cutting it off makes the calls that
    // still clean up fail at once instead of waiting for a server that will not answer.
    m_lost = true;
    m_connection.cutOff();
}

bool RemoteFiles::blockFailed(int result)
{
    if (result != LIBSSH2_ERROR_EAGAIN)
        return failed(result);
    m_cancelled = true;
    return failedWith(QStringLiteral("The transfer was cancelled"));
}

RemoteEntry RemoteFiles::entryFrom(const QByteArray &name,
                                   const LIBSSH2_SFTP_ATTRIBUTES &attributes)
{
    RemoteEntry entry;
    entry.name = name;
    if (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)
        entry.size = qint64(attributes.filesize);
    if (attributes.flags & LIBSSH2_SFTP_ATTR_ACMODTIME)
        entry.modified = qint64(attributes.mtime);
    if (attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) {
        entry.folder = LIBSSH2_SFTP_S_ISDIR(attributes.permissions);
        entry.type = permissionText(attributes.permissions);
        entry.permissions = attributes.permissions & ModeBits;
    } else {
        entry.type = "----------";
    }
    return entry;
}

std::optional<QByteArray> RemoteFiles::canonicalPath(const QByteArray &path)
{
    QElapsedTimer answer;
    answer.start();
    QByteArray target(PathBufferSize, '\0');
    const int length =
        libssh2_sftp_symlink_ex(m_sftp, path.constData(), unsigned(path.size()), target.data(),
                                unsigned(target.size()), LIBSSH2_SFTP_REALPATH);
    if (length < 0) {
        failed(length);
        return std::nullopt;
    }
    target.truncate(length);
    m_roundTrip = std::chrono::milliseconds(answer.elapsed());
    return target;
}

std::optional<RemoteEntry> RemoteFiles::entry(const QByteArray &path, int statType)
{
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    const int result = libssh2_sftp_stat_ex(m_sftp, path.constData(), unsigned(path.size()),
                                            statType, &attributes);
    if (result != 0) {
        failed(result);
        return std::nullopt;
    }
    return entryFrom(path.mid(path.lastIndexOf('/') + 1), attributes);
}

std::optional<QList<RemoteEntry>> RemoteFiles::list(const QByteArray &folder)
{
    const Handle handle(libssh2_sftp_open_ex(m_sftp, folder.constData(), unsigned(folder.size()), 0,
                                             0, LIBSSH2_SFTP_OPENDIR));
    if (!handle) {
        failed(libssh2_session_last_errno(m_session));
        return std::nullopt;
    }
    QList<RemoteEntry> entries;
    QByteArray name(PathBufferSize, '\0');
    for (;;) {
        LIBSSH2_SFTP_ATTRIBUTES attributes{};
        const int length = libssh2_sftp_readdir_ex(handle.get(), name.data(), size_t(name.size()),
                                                   nullptr, 0, &attributes);
        if (length == 0)
            break;
        if (length < 0) {
            failed(length);
            return std::nullopt;
        }
        const QByteArray entryName(name.constData(), length);
        if (entryName == "." || entryName == "..")
            continue;
        if (entries.size() == ListingLimit::MaxEntries) {
            failedWith(ListingLimit::tooManyEntriesText());
            return std::nullopt;
        }
        RemoteEntry listed = entryFrom(entryName, attributes);
        // Listings show links themselves; what a link stands for takes one more question.
        if (listed.type.startsWith('l')) {
            if (const auto target = entry(folder + '/' + entryName)) {
                listed.folder = target->folder;
                listed.size = target->size;
                if (listed.folder)
                    listed.type[0] = 'd';
            } else if (m_lost) {
                return std::nullopt;
            }
        }
        entries.append(listed);
    }
    return entries;
}

bool RemoteFiles::makeFolder(const QByteArray &path)
{
    const int result =
        libssh2_sftp_mkdir_ex(m_sftp, path.constData(), unsigned(path.size()),
                              LIBSSH2_SFTP_S_IRWXU | LIBSSH2_SFTP_S_IRGRP | LIBSSH2_SFTP_S_IXGRP |
                                  LIBSSH2_SFTP_S_IROTH | LIBSSH2_SFTP_S_IXOTH);
    return result == 0 || failed(result);
}

bool RemoteFiles::removeFolder(const QByteArray &path)
{
    const int result = libssh2_sftp_rmdir_ex(m_sftp, path.constData(), unsigned(path.size()));
    return result == 0 || failed(result);
}

bool RemoteFiles::removeFile(const QByteArray &path)
{
    const int result = libssh2_sftp_unlink_ex(m_sftp, path.constData(), unsigned(path.size()));
    return result == 0 || failed(result);
}

bool RemoteFiles::setPermissions(const QByteArray &path, unsigned long permissions)
{
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    attributes.flags = LIBSSH2_SFTP_ATTR_PERMISSIONS;
    attributes.permissions = permissions;
    const int result = libssh2_sftp_stat_ex(m_sftp, path.constData(), unsigned(path.size()),
                                            LIBSSH2_SFTP_SETSTAT, &attributes);
    return result == 0 || failed(result);
}

bool RemoteFiles::rename(const QByteArray &from, const QByteArray &to)
{
    // Without the overwrite flag: renaming onto an existing file fails instead of losing it.
    const int result = libssh2_sftp_rename_ex(
        m_sftp, from.constData(), unsigned(from.size()), to.constData(), unsigned(to.size()),
        LIBSSH2_SFTP_RENAME_ATOMIC | LIBSSH2_SFTP_RENAME_NATIVE);
    return result == 0 || failed(result);
}

bool RemoteFiles::upload(QIODevice &source, const QByteArray &path,
                         const std::optional<RemoteEntry> &present,
                         std::optional<qint64> sourceChanged, TransferWatch &watch)
{
    m_cancelled = false;
    if (present && present->folder)
        return failedWith(QStringLiteral("A folder of that name is on the server"));
    const QByteArray temporary = PartialName::pathFor(path);
    const bool replacing = present.has_value();
    // A pipe or a device has no size and cannot be read twice: its bytes go up as they come,
    // and what a failed upload of it sent is of no use to a later one.
    const bool stream = source.isSequential();
    const bool keptWhenCut = !stream && source.size() >= ResumeThreshold;
    const qint64 at = keptWhenCut && sourceChanged
                          ? continuableSize(temporary, source.size(), *sourceChanged)
                          : 0;
    if (m_lost)
        return false;
    watch.sized(stream ? TransferWatch::UnknownSize : source.size());
    const unsigned long permissions =
        replacing && present->permissions ? present->permissions : NewFilePermissions;
    // The temporary file stays writable for its owner while it grows, so that a cut upload of a
    // read-only file can be continued; it takes the file's own permissions once whole.
    if (!writeTemporary(source, temporary, permissions | LIBSSH2_SFTP_S_IWUSR, at, watch))
        // What a cut left cannot go, and a large file's stays after a cancel too: the next
        // upload may continue it. After any other failure it goes.
        return keptWhenCut && m_cancelled ? false : dropTemporary(temporary);
    if (!(permissions & LIBSSH2_SFTP_S_IWUSR) && !setPermissions(temporary, permissions))
        return dropTemporary(temporary);
    int renamed = renameOnto(temporary, path);
    if (renamed == LIBSSH2_ERROR_SFTP_PROTOCOL && replacing && nameTaken()) {
        // Most servers rename onto no existing file: the old copy goes just before. Not when
        // the server refused the rename for another reason: one that renames nothing would
        // leave the new copy under its temporary name and the old one gone.
        if (!removeFile(path))
            return dropTemporary(temporary);
        renamed = renameOnto(temporary, path);
        if (renamed != 0) {
            failed(renamed);
            // The old copy is gone; the new one stays whole under its temporary name.
            if (!m_lost)
                m_error +=
                    QStringLiteral("; the new copy is kept as %1")
                        .arg(QString::fromUtf8(temporary.mid(temporary.lastIndexOf('/') + 1)));
            return false;
        }
    }
    if (renamed == 0)
        return true;
    failed(renamed);
    return dropTemporary(temporary);
}

bool RemoteFiles::nameTaken() const
{
    const unsigned long status = libssh2_sftp_last_error(m_sftp);
    return status == LIBSSH2_FX_FAILURE || status == LIBSSH2_FX_FILE_ALREADY_EXISTS;
}

int RemoteFiles::renameOnto(const QByteArray &from, const QByteArray &to)
{
    return libssh2_sftp_rename_ex(
        m_sftp, from.constData(), unsigned(from.size()), to.constData(), unsigned(to.size()),
        LIBSSH2_SFTP_RENAME_OVERWRITE | LIBSSH2_SFTP_RENAME_ATOMIC | LIBSSH2_SFTP_RENAME_NATIVE);
}

qint64 RemoteFiles::continuableSize(const QByteArray &path, qint64 size, qint64 changed)
{
    // The name itself: a link there, put by someone else in a folder shared with others, would
    // lead the upload into a file of their choice, and the link would then take the target's
    // name. Started over, the upload replaces the link.
    const std::optional<RemoteEntry> partial = entry(path, LIBSSH2_SFTP_LSTAT);
    // One larger than the source, or older than its change, was cut from another version.
    if (!partial || partial->folder || partial->type.startsWith('l') || partial->size > size ||
        partial->modified < changed)
        return 0;
    return partial->size;
}

bool RemoteFiles::writeTemporary(QIODevice &source, const QByteArray &path,
                                 unsigned long permissions, qint64 at, TransferWatch &watch)
{
    if (!writeFile(source, path, permissions, at, watch))
        return false;
    if (at == 0)
        return true;
    // The server computes no hash of a file (OpenSSH's sftp-server has no "check-file"): a
    // continued file is checked by its size alone.
    const std::optional<RemoteEntry> written = entry(path);
    if (!written)
        return false;
    return written->size == source.size() || writeFile(source, path, permissions, 0, watch);
}

bool RemoteFiles::writeFile(QIODevice &source, const QByteArray &path, unsigned long permissions,
                            qint64 at, TransferWatch &watch)
{
    const auto open = [&](unsigned long flags) {
        return Handle(libssh2_sftp_open_ex(m_sftp, path.constData(), unsigned(path.size()), flags,
                                           long(permissions), LIBSSH2_SFTP_OPENFILE));
    };
    Handle handle;
    if (at > 0) {
        handle = open(LIBSSH2_FXF_WRITE);
        // Gone since it was asked for: the whole file goes.
        if (!handle && libssh2_session_last_errno(m_session) == LIBSSH2_ERROR_SFTP_PROTOCOL)
            at = 0;
    }
    if (at == 0) {
        const unsigned long create = LIBSSH2_FXF_WRITE | LIBSSH2_FXF_CREAT | LIBSSH2_FXF_EXCL;
        handle = open(create);
        // What a failed upload of the same file left behind is in the way: it goes.
        if (!handle && libssh2_session_last_errno(m_session) == LIBSSH2_ERROR_SFTP_PROTOCOL &&
            libssh2_sftp_unlink_ex(m_sftp, path.constData(), unsigned(path.size())) == 0)
            handle = open(create);
    }
    if (!handle)
        return failed(libssh2_session_last_errno(m_session));
    if (!source.isSequential() && !source.seek(at))
        return failedWith(
            QStringLiteral("The local file cannot be read: %1").arg(source.errorString()));
    libssh2_sftp_seek64(handle.get(), libssh2_uint64_t(at));
    if (!writeAll(handle.get(), source, at, watch)) {
        closeAbandoned(handle.release());
        return false;
    }
    // Closing waits for the server to confirm every write.
    const int closed = libssh2_sftp_close_handle(handle.release());
    return closed == 0 || failed(closed);
}

void RemoteFiles::closeAbandoned(LIBSSH2_SFTP_HANDLE *handle)
{
    // On a lost connection this fails at once, and frees the handle all the same.
    const int closed = m_connection.runWatched(
        [handle] { return libssh2_sftp_close_handle(handle); }, {}, abandonSilence());
    // The reason of the failure stays the one told.
    if (closed != 0 && closed != LIBSSH2_ERROR_SFTP_PROTOCOL)
        loseConnection();
}

int RemoteFiles::moveBlock(const std::function<int()> &call, TransferWatch &watch, qint64 done)
{
    return m_connection.runWatched(
        call, [&] { return watch.goesOn(done); }, m_connection.timeout());
}

bool RemoteFiles::dropTemporary(const QByteArray &path)
{
    if (!m_lost)
        libssh2_sftp_unlink_ex(m_sftp, path.constData(), unsigned(path.size()));
    return false;
}

bool RemoteFiles::writeAll(LIBSSH2_SFTP_HANDLE *handle, QIODevice &source, qint64 done,
                           TransferWatch &watch)
{
    // [start, end) of the buffer is read from the source but not yet confirmed by the server.
    // The SSH library keeps its own copy of what it has sent and expects each call to begin
    // with the first unconfirmed byte, so the buffer may be compacted and refilled freely.
    std::vector<char> buffer(size_t(FarUploadChunk) * 2);
    const qsizetype chunk = m_roundTrip > FarRoundTrip ? FarUploadChunk : NearUploadChunk;
    qsizetype start = 0;
    qsizetype end = 0;
    bool atEnd = false;
    // Stops the upload before its end. The requests the SSH library has begun to send go
    // whole first: the server would take what follows for the rest of a half-sent one.
    const auto stop = [&](bool reported) {
        if (!m_lost && !finishSending(handle, buffer.data() + start, end - start))
            loseConnection();
        return reported;
    };
    if (!watch.goesOn(done))
        return blockFailed(LIBSSH2_ERROR_EAGAIN);
    for (;;) {
        if (!atEnd && end - start < chunk) {
            if (start > 0) {
                std::memmove(buffer.data(), buffer.data() + start, size_t(end - start));
                end -= start;
                start = 0;
            }
            QString why;
            const qint64 read = readSource(
                source, buffer.data() + end, 2 * chunk - end, [&] { return watch.goesOn(done); },
                &why);
            if (read == Platform::UploadSource::Stopped)
                return stop(blockFailed(LIBSSH2_ERROR_EAGAIN));
            if (read < 0)
                return stop(
                    failedWith(QStringLiteral("The local file cannot be read: %1").arg(why)));
            end += read;
            atEnd = read == 0;
        }
        if (start == end) {
            if (atEnd)
                return true;
            continue;
        }
        ssize_t confirmed = 0;
        const int result = moveBlock(
            [&] {
                confirmed = libssh2_sftp_write(handle, buffer.data() + start, size_t(end - start));
                return int(std::min<ssize_t>(confirmed, 0));
            },
            watch, done);
        if (result == LIBSSH2_ERROR_EAGAIN)
            return stop(blockFailed(result));
        if (result != 0)
            return blockFailed(result);
        start += confirmed;
        done += confirmed;
        if (confirmed > 0 && !watch.goesOn(done))
            return stop(blockFailed(LIBSSH2_ERROR_EAGAIN));
    }
}

bool RemoteFiles::finishSending(LIBSSH2_SFTP_HANDLE *handle, const char *data, qsizetype size)
{
    // Handed the bytes it has already made into requests, the SSH library makes no new ones:
    // it sends the rest of them and waits for the server to confirm them.
    while (size > 0) {
        ssize_t confirmed = 0;
        const int result = m_connection.runWatched(
            [&] {
                confirmed = libssh2_sftp_write(handle, data, size_t(size));
                return int(std::min<ssize_t>(confirmed, 0));
            },
            {}, abandonSilence());
        if (result != 0)
            return false;
        data += confirmed;
        size -= confirmed;
    }
    return true;
}

std::chrono::milliseconds RemoteFiles::abandonSilence() const
{
    return std::min(AbandonSilence, m_connection.timeout());
}

bool RemoteFiles::download(const QByteArray &path, const TargetChooser &targetFor,
                           TransferWatch &watch)
{
    m_cancelled = false;
    RemoteEntry file;
    Handle handle(openForReading(path, &file));
    if (!handle)
        return false;
    DownloadTarget target = targetFor(file, false);
    if (!target.device)
        return false;
    watch.sized(file.size);
    libssh2_sftp_seek64(handle.get(), libssh2_uint64_t(target.resumedAt));
    std::optional<qint64> held = readAll(handle.release(), *target.device, target.resumedAt, watch);
    // Continued bytes are checked by the size of the whole, as the server computes no hash; a
    // mismatch takes the whole file again, once.
    if (held && target.resumedAt > 0 && *held != file.size) {
        target = targetFor(file, true);
        if (!target.device)
            return false;
        handle.reset(openForReading(path, &file));
        held = handle ? readAll(handle.release(), *target.device, 0, watch) : std::nullopt;
    }
    return held.has_value();
}

std::optional<qint64> RemoteFiles::readAll(LIBSSH2_SFTP_HANDLE *handle, QIODevice &target,
                                           qint64 done, TransferWatch &watch)
{
    // The handle is this call's to close.
    Handle reading(handle);
    // The size of each read decides how far the SSH library asks ahead of it.
    std::vector<char> buffer(static_cast<size_t>(DownloadChunk));
    const auto abandon = [&](bool) -> std::optional<qint64> {
        // A read request half on its way would make the server take the close for its rest.
        if (libssh2_session_block_directions(m_session) & LIBSSH2_SESSION_BLOCK_OUTBOUND)
            loseConnection();
        closeAbandoned(reading.release());
        return std::nullopt;
    };
    if (!watch.goesOn(done))
        return abandon(blockFailed(LIBSSH2_ERROR_EAGAIN));
    for (;;) {
        ssize_t read = 0;
        const int result = moveBlock(
            [&] {
                read = libssh2_sftp_read(reading.get(), buffer.data(), buffer.size());
                return int(std::min<ssize_t>(read, 0));
            },
            watch, done);
        if (result != 0)
            return abandon(blockFailed(result));
        if (read == 0)
            return done;
        if (!writeWhole(target, buffer.data(), read))
            return abandon(failedWith(
                QStringLiteral("The local file cannot be written: %1").arg(target.errorString())));
        done += read;
        if (!watch.goesOn(done))
            return abandon(blockFailed(LIBSSH2_ERROR_EAGAIN));
    }
}

LIBSSH2_SFTP_HANDLE *RemoteFiles::openForReading(const QByteArray &path, RemoteEntry *file)
{
    // The size is asked first, and its answer taken after the open's: both come in the round
    // trip of the open.
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    const SshConnection::Step askSize = [&] {
        return libssh2_sftp_stat_ex(m_sftp, path.constData(), unsigned(path.size()),
                                    LIBSSH2_SFTP_STAT, &attributes);
    };
    int sized = m_connection.startCall(askSize);
    if (sized != 0 && sized != LIBSSH2_ERROR_EAGAIN && sized != LIBSSH2_ERROR_SFTP_PROTOCOL) {
        failed(sized);
        return nullptr;
    }
    Handle handle(libssh2_sftp_open_ex(m_sftp, path.constData(), unsigned(path.size()),
                                       LIBSSH2_FXF_READ, 0, LIBSSH2_SFTP_OPENFILE));
    if (!handle)
        failed(libssh2_session_last_errno(m_session));
    // The question is answered in any case, or the next one of its kind would take this answer.
    if (sized == LIBSSH2_ERROR_EAGAIN && !m_lost)
        sized = askSize();
    if (!handle)
        return nullptr;
    if (sized != 0 && sized != LIBSSH2_ERROR_SFTP_PROTOCOL) {
        failed(sized);
        return nullptr;
    }
    if (sized == 0)
        *file = entryFrom(path.mid(path.lastIndexOf('/') + 1), attributes);
    return handle.release();
}

bool RemoteFiles::writeWhole(QIODevice &target, const char *data, qint64 size)
{
    // A file takes a block in parts when its disk fills up; the part that finds no room
    // fails with the system's reason.
    while (size > 0) {
        const qint64 written = target.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}
