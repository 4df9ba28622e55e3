#pragma once

#include "securelib/CommandText.h"
#include "securelib/RemoteFiles.h"
#include "securelib/SshConnection.h"
#include "transport/RawNames.h"

class TransferTally;

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <memory>

// An open secure session and what its commands do: keeps the current server folder (SFTP has
// none of its own), resolves the names of each command against it, and runs the command
// texts cd, pwd, dir, mkdir, rmdir, del [-h], ren, put [-h] [-u] [-c] and get [-h] [-c]. Local
// paths may be DOS paths ("C:\web\a.htm"), which are mapped through the prefix's drives. The
// files of a put or get (with "-h" a page and its companion files) are told to a tally as they
// go.
//
// A put or get of a file of at least ResumeThreshold bytes that is cut or cancelled keeps what
// arrived: on the server the upload's temporary file (PartialName), on the local disk the
// download's partial with a note of its origin ("sftp://user@host:port/path", the file's size
// and its date, one a line). With "-c" the next put or get of the same file continues it where
// it is still a copy of that file (see RemoteFiles::upload; a download's origin must be the
// same), and compares the whole file's size at its end; without "-c" it starts over. The
// progress then starts at the bytes already there.
class CommandSession
{
public:
    struct Reply
    {
        bool done = false;
        QByteArray text;
    };

    // Takes an open connection; starts in the folder the server logs the user into.
    explicit CommandSession(std::unique_ptr<SshConnection> connection);
    ~CommandSession();

    // False when the login folder cannot be found, with the reason.
    bool start(QString *why);
    Reply run(const CommandText &command, TransferTally &tally);

    QByteArray currentFolder() const { return m_folder; }
    // True once the connection failed; the session is of no more use.
    bool lost() const { return m_files.lost(); }
    // Ends the session, with a goodbye unless the connection is lost.
    void close();

private:
    Reply changeFolder(const CommandText &command);
    Reply listing(const CommandText &command);
    Reply makeFolder(const CommandText &command);
    Reply removeFolder(const CommandText &command);
    Reply deleteFile(const CommandText &command);
    Reply rename(const CommandText &command);
    Reply upload(const CommandText &command, TransferTally &tally);
    Reply download(const CommandText &command, TransferTally &tally);

    // The absolute server path of a name relative to the current folder.
    QByteArray remotePath(const QString &name) const;
    // The Linux path of a local name: a DOS path through the prefix's drives, else as given.
    static QString localPath(const QString &name);

    // Uploads a file over what the server path names now (`present`, as RemoteFiles::entry()
    // tells it).
    bool sendFile(const QString &localFile, const QByteArray &remoteFile,
                  const std::optional<RemoteEntry> &present, bool resume, TransferTally &tally);
    // Uploads a page's companion folder, then the page, which names the folder as the server
    // has it; the tally is told the size of them all first.
    bool sendPage(const QString &localPage, const QByteArray &remotePage,
                  const std::optional<RemoteEntry> &present, bool resume, TransferTally &tally);
    // The page's text as it goes up: the file itself, or a copy that names its companion
    // folder by the server's name for it. Nothing when the page cannot be read.
    std::unique_ptr<QIODevice> pageSource(const QString &localPage, const QString &localName,
                                          const QString &serverName);
    bool fetchFile(const QByteArray &remoteFile, const QString &localFile, bool resume,
                   TransferTally &tally);
    // What a local partial of a server file is a copy of.
    QByteArray originOf(const QByteArray &remoteFile, const RemoteEntry &file) const;
    // The entries of a page's companion folder on the server, nothing when it has none; the
    // tally is told the size of the page and of the files that will be fetched.
    std::optional<QList<RemoteEntry>> planPageDownload(const QByteArray &remotePage,
                                                       TransferTally &tally);
    // Fetches the files of a page's companion folder (its `entries`) into the local folder of
    // that name next to the local page, until a fetch is cancelled. Returns the names of the
    // entries that cannot name a local file, which are left out.
    QStringList fetchPageFolder(const QByteArray &remotePage, const QString &localPage,
                                const QList<RemoteEntry> &entries, bool resume,
                                TransferTally &tally);
    void deletePageFolder(const QByteArray &remotePage);

    // Why the last step failed: on this machine's side, else on the server's.
    QString errorText() const;
    Reply failure(const QString &what) const;
    static Reply success(const QString &what);

    std::unique_ptr<SshConnection> m_connection;
    RemoteFiles m_files;
    QByteArray m_folder;
    QString m_localError;
    // Names the server gave in bytes that are not UTF-8, which paths send back as they came.
    Ftp::RawNames m_rawNames;
};
