#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <chrono>
#include <functional>
#include <optional>

class QIODevice;
class SshConnection;
class TransferWatch;

// A file or folder on the server, as a listing or a status query shows it.
struct RemoteEntry
{
    QByteArray name;
    qint64 size = 0;
    qint64 modified = 0; // seconds since 1970 UTC
    bool folder = false;
    QByteArray type;               // "drwxr-xr-x", "-rw-r--r--", ...
    unsigned long permissions = 0; // the mode bits (LIBSSH2_SFTP_S_...), 0 when not told
};

// The server's files through an open SFTP channel, by absolute server paths. Transfers
// stream with many requests in flight, so a distant server is not waited for packet by
// packet, and tell their watch of every block the server confirmed or sent. A failed call
// leaves its reason in error(); when the connection itself failed (dead, stalled or gone),
// lost() becomes true and the session must be let go.
class RemoteFiles
{
public:
    explicit RemoteFiles(SshConnection &connection);

    // The canonical form of a path (".." and links resolved); nothing when it does not exist.
    // Its answer also times the round trip to the server, which sets how much an upload
    // keeps in flight.
    std::optional<QByteArray> canonicalPath(const QByteArray &path);
    // The entry a path names, following links unless asked for the name's own (LSTAT);
    // nothing when it does not exist.
    std::optional<RemoteEntry> entry(const QByteArray &path, int statType = LIBSSH2_SFTP_STAT);
    // The entries of a folder without "." and ".."; a link to a folder counts as a folder.
    // Nothing for a folder of more entries than ListingLimit::MaxEntries: its listing stops
    // there.
    std::optional<QList<RemoteEntry>> list(const QByteArray &folder);

    bool makeFolder(const QByteArray &path);
    bool removeFolder(const QByteArray &path);
    bool removeFile(const QByteArray &path);
    bool rename(const QByteArray &from, const QByteArray &to);

    // Writes everything the source holds into the server file. `present` is what the path
    // names now, as entry() tells: an old copy, whose permissions the new one takes, or
    // nothing. The bytes go to a temporary file beside it (PartialName), which takes the file's
    // name once the server has confirmed them all: a failed or cancelled upload leaves the old
    // copy whole. It removes the temporary file, but one of a source of at least
    // ResumeThreshold bytes that was cut or cancelled stays for a later upload to continue
    // (a cut one of any size stays, as it cannot be removed). With `sourceChanged` (the
    // source's last change, seconds since 1970 UTC) such a later upload continues it when it is
    // no larger than the source and not older than its change, and once it is whole compares
    // its size with the source's: a mismatch writes it again from the first byte, once. An
    // upload tells its watch where it starts before its first block.
    bool upload(QIODevice &source, const QByteArray &path,
                const std::optional<RemoteEntry> &present, std::optional<qint64> sourceChanged,
                TransferWatch &watch);

    // Where a download goes, chosen once the server has told the file's size and date: the
    // target and how many bytes of the file it holds already, after which the reading starts.
    // No device when none can be written (the chooser keeps why).
    struct DownloadTarget
    {
        QIODevice *device = nullptr;
        qint64 resumedAt = 0;
    };
    // Asked once with `again` false, and again with `again` true when a download that continued
    // bytes it held did not come out at the server's size: the target must then be empty.
    using TargetChooser = std::function<DownloadTarget(const RemoteEntry &file, bool again)>;
    // Reads the server file into the target its chooser gives, up to its end, telling the watch
    // where it starts before the first block. The target is best unbuffered, so that a local
    // write error is seen where it happens.
    bool download(const QByteArray &path, const TargetChooser &targetFor, TransferWatch &watch);

    QString error() const { return m_error; }
    // The last failure was the server's "no such file or folder".
    bool notFound() const { return m_notFound; }
    bool lost() const { return m_lost; }
    // The last transfer was cancelled by its watch.
    bool cancelled() const { return m_cancelled; }

private:
    // Notes why the last call failed; false for use in returns.
    bool failed(int result);
    bool failedWith(const QString &why);
    // Notes why a block of a transfer did not move: its watch cancelled it, or the call failed.
    bool blockFailed(int result);
    // Gives the connection up without a word: it cannot be used any more.
    void loseConnection();
    static RemoteEntry entryFrom(const QByteArray &name, const LIBSSH2_SFTP_ATTRIBUTES &attributes);
    // Writes the source into the temporary file of an upload from `at` on (what it holds up to
    // there stays), and checks the size of a continued one once it is whole.
    bool writeTemporary(QIODevice &source, const QByteArray &path, unsigned long permissions,
                        qint64 at, TransferWatch &watch);
    // Writes the source from `at` on into a file that holds its bytes before `at`, or, from 0,
    // into a new one.
    bool writeFile(QIODevice &source, const QByteArray &path, unsigned long permissions, qint64 at,
                   TransferWatch &watch);
    // The size of the temporary file an earlier upload of a source of `size` bytes, last
    // changed at `changed`, left, when it may be continued; 0 when it is to be written anew.
    qint64 continuableSize(const QByteArray &path, qint64 size, qint64 changed);
    bool writeAll(LIBSSH2_SFTP_HANDLE *handle, QIODevice &source, qint64 done,
                  TransferWatch &watch);
    // Reads from the handle's position `done` to the file's end into the target, and closes the
    // handle; the bytes of the file the target then holds, nothing when the reading failed or
    // was cancelled.
    std::optional<qint64> readAll(LIBSSH2_SFTP_HANDLE *handle, QIODevice &target, qint64 done,
                                  TransferWatch &watch);
    // Opens a server file for reading and finds its size and date (0 when the server does not
    // tell them).
    LIBSSH2_SFTP_HANDLE *openForReading(const QByteArray &path, RemoteEntry *file);
    // Moves one block: runs the call until it is done, asking the watch, with the bytes done
    // so far, while the server is waited for. 0, or why the block did not move.
    int moveBlock(const std::function<int()> &call, TransferWatch &watch, qint64 done);
    // After an upload stopped before its end: sends the rest of the requests the SSH library
    // has made of the unconfirmed bytes (`data`, `size`) and waits for their confirmation.
    // False when the server does not take them.
    bool finishSending(LIBSSH2_SFTP_HANDLE *handle, const char *data, qsizetype size);
    // Closes the handle of a transfer that failed or was cancelled. The server answers once it
    // has dealt with the blocks still on their way; a server that stays silent a while is
    // given up, with the connection.
    void closeAbandoned(LIBSSH2_SFTP_HANDLE *handle);
    // How long a stopped transfer waits for a silent server.
    std::chrono::milliseconds abandonSilence() const;
    // Renames a file, asking the server to replace what the new name names.
    int renameOnto(const QByteArray &from, const QByteArray &to);
    bool setPermissions(const QByteArray &path, unsigned long permissions);
    // Whether the server refused the last request because its name is taken ("failure", as
    // OpenSSH answers, or "file already exists"), rather than refused it as such.
    bool nameTaken() const;
    // Removes an upload's temporary file, unless the connection is lost, after a failure that
    // is already told; false for use in returns.
    bool dropTemporary(const QByteArray &path);
    static bool writeWhole(QIODevice &target, const char *data, qint64 size);

    SshConnection &m_connection;
    LIBSSH2_SESSION *m_session;
    LIBSSH2_SFTP *m_sftp;
    QString m_error;
    bool m_lost = false;
    bool m_notFound = false;
    bool m_cancelled = false;
    std::chrono::milliseconds m_roundTrip{0};
};
