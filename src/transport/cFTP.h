#pragma once

#include "transport/ChannelOwner.h"
#include "transport/PlainChannel.h"
#include "transport/SecureChannel.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class cDirList;

// The FTP client: the control's only gateway to the teacher's web site. A session runs over
// one of two channels, the FTP engine or the secure library, picked by the secure switch; every
// operation goes to that channel, so callers never see which one is in use. Nothing raises:
// operations answer with a success flag (an empty text, a negative size, no listing) and the
// plain channel keeps the text of its last failure for GetLastErrorMessage. Local paths come
// in their DOS form.
class cFTP
    : public QObject
    , private ChannelOwner
{
    Q_OBJECT
    Q_PROPERTY(bool secure READ secure WRITE setSecure)

public:
    // Transfers move the file in blocks of this many bytes, reporting progress and looking
    // at the cancel-request flag after every full block.
    static constexpr int BlockSize = BlockTransfers::BlockSize;

    explicit cFTP(QObject *parent = nullptr);
    ~cFTP() override;

    // Picks the channel of every call from now on.
    void setSecure(bool vData);
    bool secure() const { return m_secure; }

    // The entries of the last GetDirectoryListing; an empty list (kept) when there is none.
    std::shared_ptr<cDirList> Directory();
    QString GetLastErrorMessage() const { return m_lastErrorText; }
    // Why the last operation failed: the last error text, or where the channel keeps none of
    // its own (the secure library), the channel's account of it. Empty when nothing says why.
    QString failureReason() const;
    // Whether the last operation failed in a way that trying again later may cure (a lost
    // session or data connection, a server that did not answer or refused for now).
    bool failureIsPassing() const { return m_channel->failureIsPassing(); }
    // Forgets the last error text. The control never does (a success keeps the text of the
    // last failure); a front end that runs many commands does, so that an old text is not
    // taken for a new failure.
    void clearLastErrorMessage() { m_lastErrorText.clear(); }

    // While the session opens, the message loop runs (Hooks::pumpMessages, or the secure
    // connect's own watch), and stopRequested, when given, is asked whether the user gave up:
    // true ends the connect at once as failed, with "Connecting was cancelled." as the reason.
    // A plain session reads the folder the login put it in on the way.
    bool OpenConnection(const QString &sServer, const QString &sUser, const QString &sPassword,
                        const std::function<bool()> &stopRequested = {});
    void CloseConnection();
    // Stops the running transfer for a user who closes the window under it (the cancel
    // request is set besides): the plain channel closes the session; the secure library sees
    // the cancel at its next block and keeps the session.
    void stopTransfer() { m_channel->stopTransfer(); }
    // Whether stopTransfer closes the session. When it does not, a catalogue refresh runs on
    // after a stop, so a caller counts it as a running transfer; when it does, a catalogue
    // upload it cut off is made again when the window closes.
    bool stopClosesSession() const { return m_channel->stopClosesSession(); }
    // Held by a window's long operation that lets nothing but Exit through: while it lives,
    // a command of the plain channel lets the message loop run as it waits for the server,
    // and a stopTransfer from there ends the wait at once, failing the command as cancelled
    // and closing the session. Without it a command holds the thread until the server
    // answers or its timeout ends the session. Held inside another, it changes nothing: the
    // outermost one ends the interruptible stretch.
    class InterruptibleCommands
    {
    public:
        explicit InterruptibleCommands(cFTP &client)
            : m_client(client)
            , m_channel(*client.m_channel)
        {
            if (m_client.m_interruptibleHolds++ == 0)
                m_channel.setCommandsInterruptible(true);
        }
        ~InterruptibleCommands()
        {
            if (--m_client.m_interruptibleHolds == 0)
                m_channel.setCommandsInterruptible(false);
        }
        Q_DISABLE_COPY_MOVE(InterruptibleCommands)

    private:
        cFTP &m_client;
        ServerChannel &m_channel;
    };
    // Counts the connects: a caller that put the session in a folder knows by it whether the
    // session is still the one it put there.
    quint64 connectionNumber() const { return m_connections; }
    // After a failed OpenConnection: whether the server refused the user name or password,
    // the one failure that says the login data is wrong; and, for every other failure, why
    // the connection failed in words a user understands (the server could not be reached,
    // did not answer, or its certificate or host key is not the one it showed before).
    bool loginRefused() const { return m_loginRefused; }
    // After a failed OpenConnection: whether stopRequested ended it, the user giving up.
    bool connectStopped() const { return m_connectStopped; }
    QString connectFailureReason() const { return m_connectFailureReason; }

    // Whole-file transfers in one call; always over the FTP engine.
    bool SimpleFTPPutFile(const QString &sLocal, const QString &sRemote);
    bool RenameFTPFile(const QString &sExisting, const QString &sNewName);
    bool CreateFTPDirectory(const QString &sDirectory);
    bool RemoveFTPDirectory(const QString &sDirectory);
    // A web page ("htm") takes its companion folder along.
    bool DeleteFTPFile(const QString &sRemote);
    // Block transfers; a web page travels with its companion folder. A cut transfer of a file
    // from ResumeThreshold bytes on keeps its partial file beside the target; the next
    // transfer of the same file continues it unless told to start over.
    bool FTPUploadFile(const QString &sLocal, const QString &sRemote,
                       Resume resume = Resume::Continue);
    bool FTPDownloadFile(const QString &sLocal, const QString &sRemote,
                         Resume resume = Resume::Continue);
    bool SimpleFTPGetFile(const QString &sLocal, const QString &sRemote);
    QString GetFTPDirectory();
    bool SetFTPDirectory(const QString &sDir);
    // As SetFTPDirectory, but true wherever the server took the change to: a folder entered
    // through a link may stand under the path the link leads to.
    bool enterFolderThroughLinks(const QString &folder);
    // The size of a server file (its low 32 bits); -1 when it does not exist, -2 on a failure.
    qint32 GetFTPFileSize(const QString &sFile);
    // The whole size of a file of exactly that name (a look-alike name or a folder is none);
    // -1 when there is none, -2 on a failure.
    qint64 exactFileSize(const QString &file);
    // Whether a file of exactly that name exists on the server; nothing when the server could
    // not be asked. It tells whether a command whose answer was lost with the session was
    // carried out.
    std::optional<bool> FTPFileExists(const QString &sFile);
    // The entries matching a pattern ("*", "*.htm", "sub/a?c"); nullptr for an empty result
    // or a failure (Directory then reads as an empty list). A folder of more entries than
    // ListingLimit::MaxEntries is a failure.
    std::shared_ptr<cDirList> GetDirectoryListing(const QString &sFilter);
    // The same entries as the server tells them, handed to `take` as they arrive: their times
    // in UTC, not as a local date that shows an hour twice the night the clocks go back. False
    // for an empty result or a failure.
    bool ListEntries(const QString &filter, const std::function<void(Ftp::Entry &&entry)> &take);
    // Why the last GetDirectoryListing failed, rather than finding nothing; empty when it did
    // not fail. Also in secure mode, whose listing then still reads as an empty list.
    QString ListingError() const { return m_listingError; }

    void SetTransferASCII();
    void SetTransferBinary();
    // Take effect at the next OpenConnection.
    void SetModeActive();
    void SetModePassive();

    // What the client asks of the program around it; each part may be left out (the
    // initialisers let a caller name only the parts it hands in).
    struct Hooks
    {
        // Lets the message loop run once: after every full block of a transfer, and again and
        // again while a session opens.
        std::function<void()> pumpMessages = {};
        // True once the user asked to stop: looked at after every full block, which then ends
        // the transfer as cancelled, and while a secure session connects.
        std::function<bool()> cancelRequested = {};
        // Asked again and again while a secure session connects, in place of the pump and the
        // cancel check; false stops the connect.
        std::function<bool()> secureConnectGoesOn = {};
        // Runs before every command of the secure channel.
        std::function<void()> beforeSecureCommand = {};
    };
    void setHooks(Hooks hooks);
    // The DOS folder (ending in "\") where a page's upload copy is written; the system's
    // temporary folder until set.
    void setTemporaryFolder(const QString &dosFolder) { m_temporaryFolder = dosFolder; }
    // The secure library has one timeout for every wait: the reply's.
    void setTimeouts(const Ftp::Timeouts &timeouts)
    {
        m_plain.setTimeouts(timeouts);
        m_secureChannel.setTimeout(timeouts.reply);
    }
    // Whether plain sessions use TLS; takes effect at the next OpenConnection.
    void setTlsMode(Ftp::TlsMode mode) { m_plain.setTlsMode(mode); }
    // After a plain connect: what TLS was agreed ("TLSv1.3, TLS_AES_...") and what became of
    // the server's certificate; both empty for a session in clear text. The certificate text
    // tells of a new pin only when this connect made one.
    QString tlsDescription() const { return m_plain.tlsDescription(); }
    QString certificateStatus() const { return m_plain.certificateStatus(); }
    QString newCertificateText() const { return m_plain.newCertificateText(); }
    // After a connect, for a front end to show: a server key or certificate met for the first
    // time and recorded, or with `detailed`, how the session is protected.
    QString securityNote(bool detailed) const { return m_channel->securityNote(detailed); }

Q_SIGNALS:
    void FileTransferProgress(qint32 lCurrentBytes, qint32 lTotalBytes);
    // The same progress in 64 bits, for files beyond 2 GiB.
    void TransferProgress(qint64 done, qint64 total);
    // The transfer continues a partial file, at `at` of `total` bytes: only the rest moves.
    // Comes before the transfer's first progress.
    void TransferResumed(qint64 at, qint64 total);
    // A file of a page's companion folder on the server was not fetched: its name cannot be
    // the name of a local file (it would name another folder, or a file outside the folder).
    void ServerNameRefused(const QString &name);
    // A file of a page's companion folder on the server was not fetched: something other than a
    // file or a symbolic link stands at its local path (DOS), and is left there.
    void LocalFileRefused(const QString &dosPath);

private:
    // What the channels ask of the client.
    void pumpMessages() override;
    bool cancelRequested() const override;
    bool connectGoesOn() override;
    void reportProgress(qint64 done, qint64 total) override;
    void reportResumed(qint64 at, qint64 total) override;
    void recordErrorText(const QString &text) override;
    void serverNameRefused(const QString &name) override;
    void localFileRefused(const QString &dosPath) override;
    QString temporaryFolder() const override;

    PlainChannel m_plain;
    SecureChannel m_secureChannel;
    ServerChannel *m_channel = &m_plain;
    bool m_secure = false;
    QString m_lastErrorText;
    std::shared_ptr<cDirList> m_directory;
    QString m_listingError;
    Hooks m_hooks;
    QString m_temporaryFolder;
    quint64 m_connections = 0;
    int m_interruptibleHolds = 0; // InterruptibleCommands alive
    bool m_loginRefused = false;
    bool m_connectStopped = false;
    QString m_connectFailureReason;
};
