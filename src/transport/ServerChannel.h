#pragma once

#include "transport/Entry.h"
#include "transport/Resume.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class LocalPath;

// One way of reaching the server behind cFTP: plain FTP over the engine (with TLS where the
// server offers it), or the secure library. The client picks one with its secure switch and
// hands every operation to it, so that no one else needs to know which one is in use. Results
// are the client's own: a success flag, a negative size, no listing.
class ServerChannel
{
public:
    virtual ~ServerChannel() = default;

    // How an open ended when it did not open a session.
    struct ConnectFailure
    {
        // The server refused the user name or password: the one failure that says the login
        // data is wrong.
        bool loginRefused = false;
        // For every other failure, why, in words a user understands.
        QString reason;
    };
    // Opens the session, asking `stopped` on the way whether the user gave up; the failure
    // when it did not open.
    virtual std::optional<ConnectFailure> open(const QString &server, const QString &user,
                                               const QString &password,
                                               const std::function<bool()> &stopped) = 0;
    virtual void close() = 0;

    virtual bool rename(const QString &from, const QString &to) = 0;
    virtual bool makeFolder(const QString &folder) = 0;
    virtual bool removeFolder(const QString &folder) = 0;
    // A web page takes its companion folder along in these three.
    virtual bool deleteFile(const QString &remote) = 0;
    // A transfer that is cut keeps its partial file (from ResumeThreshold bytes on); with
    // Resume::Continue the next one continues it, when it is still a copy of the same file,
    // and checks the whole file once it is there.
    virtual bool upload(const LocalPath &local, const QString &remote, Resume resume) = 0;
    virtual bool download(const LocalPath &local, const QString &remote, Resume resume) = 0;
    // Nothing when the folder cannot be read.
    virtual std::optional<QString> currentFolder() = 0;
    // Which change of folder counts: only where the session then stands under that very path,
    // as the control always took, or wherever the server took the change to (a link leads
    // the session to the path of its target).
    enum class FolderMatch { ExactPath, AnyPath };
    virtual bool setCurrentFolder(const QString &folder, FolderMatch match) = 0;
    // Which file a size look-up names: exactly that file, or, where there is none, the first
    // entry its look-up finds (a look-alike name, a folder's first entry), as the control
    // always took.
    enum class SizeMatch { ExactFile, ExactOrLookAlike };
    // A file's size, whole where the channel tells it so; -1 when it does not exist, -2 on a
    // failure.
    virtual qint64 fileSize(const QString &file, SizeMatch match) = 0;
    // Nothing when the server could not be asked.
    virtual std::optional<bool> fileExists(const QString &file) = 0;

    // How a listing ended: whether it is a listing (an empty one too) or nothing, and why it
    // failed, if it did.
    struct ListingEnd
    {
        bool listed = false;
        QString failure;
    };
    // Hands every entry matching the filter to `take` as it arrives, its time in UTC.
    virtual ListingEnd list(const QString &filter,
                            const std::function<void(Ftp::Entry &&entry)> &take) = 0;
    // The local date a listing record of this channel shows for a UTC time: each channel keeps
    // the local dates its windows have always shown.
    virtual double recordDate(const QDateTime &utc) const = 0;

    // Stops the running transfer for a user who closes the window under it: a channel whose
    // transfer cannot wait for its next block to see the cancel closes the session.
    virtual void stopTransfer() = 0;
    // Whether stopTransfer closes the session (then a catalogue upload it cut off is made
    // again later); otherwise the transfer runs to its next block, which ends it.
    virtual bool stopClosesSession() const = 0;
    // While on, the channel's commands let the message loop run as they wait for the server,
    // and stopTransfer ends such a wait at once (see cFTP::InterruptibleCommands).
    virtual void setCommandsInterruptible(bool interruptible) = 0;
    // Why the last operation failed, where the channel keeps no error text of the client's.
    virtual QString failureText() const = 0;
    // Whether the last operation failed in a way that trying again later may cure: the
    // session or a data connection was lost, the server did not answer, or it refused for
    // now (an FTP 4xx reply). A missing file or a refused permission is not.
    virtual bool failureIsPassing() const = 0;
    // What the last open learnt of the server's identity and the session's protection, for a
    // front end to show; `detailed` asks for the protection also when nothing is new.
    virtual QString securityNote(bool detailed) const = 0;
};
