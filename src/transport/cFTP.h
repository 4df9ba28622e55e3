#pragma once

#include "transport/CSFtp.h"
#include "transport/CertificateTrust.h"
#include "transport/Session.h"

#include <QDateTime>
#include <QIODevice>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QFile;
class QFileDevice;
class cDirList;

// The FTP client: the control's only gateway to the teacher's web site. A session runs over
// the FTP engine, or over the secure channel when `secure` is set; every operation picks its
// form itself, so callers never see which one is in use. Nothing raises: operations answer
// with a success flag (an empty text, a negative size, no listing) and the plain forms keep
// the text of their last failure for GetLastErrorMessage.
class cFTP : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool secure READ secure WRITE setSecure)

public:
    // Transfers move the file in blocks of this many bytes, reporting progress and looking
    // at the cancel-request flag after every full block.
    static constexpr int BlockSize = 255;

    explicit cFTP(QObject *parent = nullptr);
    ~cFTP() override;

    void setSecure(bool vData) { m_secure = vData; }
    bool secure() const { return m_secure; }

    // The entries of the last GetDirectoryListing; an empty list (kept) when there is none.
    std::shared_ptr<cDirList> Directory();
    QString GetLastErrorMessage() const { return m_lastErrorText; }
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
    // Counts the connects: a caller that put the session in a folder knows by it whether the
    // session is still the one it put there.
    quint64 connectionNumber() const { return m_connections; }
    // After a failed OpenConnection: whether the server refused the user name or password,
    // the one failure that says the login data is wrong; and, for every other failure, why
    // the connection failed in words a user understands (the server could not be reached,
    // did not answer, or its certificate or host key is not the one it showed before).
    bool loginRefused() const { return m_loginRefused; }
    QString connectFailureReason() const { return m_connectFailureReason; }

    // Whole-file transfers in one call; always over the FTP engine.
    bool SimpleFTPPutFile(const QString &sLocal, const QString &sRemote);
    bool RenameFTPFile(const QString &sExisting, const QString &sNewName);
    bool CreateFTPDirectory(const QString &sDirectory);
    bool RemoveFTPDirectory(const QString &sDirectory);
    // A web page ("htm") takes its companion folder along.
    bool DeleteFTPFile(const QString &sRemote);
    // Block transfers; a web page travels with its companion folder.
    bool FTPUploadFile(const QString &sLocal, const QString &sRemote);
    bool FTPDownloadFile(const QString &sLocal, const QString &sRemote);
    bool SimpleFTPGetFile(const QString &sLocal, const QString &sRemote);
    QString GetFTPDirectory();
    bool SetFTPDirectory(const QString &sDir);
    // The size of a server file (its low 32 bits); -1 when it does not exist, -2 on a failure.
    qint32 GetFTPFileSize(const QString &sFile);
    // Whether a file of exactly that name exists on the server; nothing when the server could
    // not be asked. It tells whether a command whose answer was lost with the session was
    // carried out.
    std::optional<bool> FTPFileExists(const QString &sFile);
    // The entries matching a pattern ("*", "*.htm", "sub/a?c"); nullptr for an empty result
    // or a failure (Directory then reads as an empty list). A folder of more entries than
    // ListingLimit::MaxEntries is a failure.
    std::shared_ptr<cDirList> GetDirectoryListing(const QString &sFilter);
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
    void setTimeouts(const Ftp::Timeouts &timeouts) { m_session.setTimeouts(timeouts); }
    // Whether plain sessions use TLS; takes effect at the next OpenConnection.
    void setTlsMode(Ftp::TlsMode mode) { m_session.setTlsMode(mode); }
    // After a plain connect: what TLS was agreed ("TLSv1.3, TLS_AES_...") and what became of
    // the server's certificate; both empty for a session in clear text. The certificate text
    // tells of a new pin only when this connect made one.
    QString tlsDescription() const { return m_session.tlsDescription(); }
    QString certificateStatus() const;
    QString newCertificateText() const;

Q_SIGNALS:
    void FileTransferProgress(qint32 lCurrentBytes, qint32 lTotalBytes);
    // The same progress in 64 bits, for files beyond 2 GiB.
    void TransferProgress(qint64 done, qint64 total);
    // A file of a page's companion folder on the server was not fetched: its name cannot be
    // the name of a local file (it would name another folder, or a file outside the folder).
    void ServerNameRefused(const QString &name);

private:
    enum class TransferOutcome { Done, Failed, Cancelled };

    void RecordError(quint32 code, const QString &operation);
    bool openPlainSession(const QString &sServer, const QString &sUser, const QString &sPassword,
                          const std::function<bool()> &stopped);
    bool openSecureSession(const QString &sServer, const QString &sUser, const QString &sPassword,
                           const std::function<bool()> &stopped);
    // Notes why a plain or secure connect failed (the secure library's reply for the latter).
    void recordConnectFailure(bool stopped, const QString &secureReply = {});
    // Uploads a page's companion folder and then the page, as a copy that names the folder as
    // the server has it. Nothing when the page has no companion folder (the caller then sends
    // the page alone); else whether the page went up.
    std::optional<bool> UploadPageFolder(const QString &sLocal, const QString &sRemote);
    QString MakePageCopy(const QString &sLocal);
    bool DeletePageFolder(const QString &sRemote);
    bool DownloadPageFolder(const QString &sLocal, const QString &sRemote);

    bool secureCommand(const QString &command);
    // A put or get through the secure channel, told as a transfer of blocks: progress after
    // every block, the message loop and the cancel check also while the server is waited for.
    bool secureTransfer(const QString &command);
    QString secureDirectory();
    bool secureSetDirectory(const QString &sDir);
    qint32 secureFileSize(const QString &sFile);
    std::shared_ptr<cDirList> secureListing(const QString &sFilter);

    bool uploadFile(const QString &sLocal, const QString &sRemote);
    // The name an upload goes up under beside its target until the server has confirmed it.
    static QString partialUploadName(const QString &sRemote);
    void removePartialUpload(const QString &partial);
    // Puts a confirmed upload in the target's place.
    bool replaceWithUpload(const QString &partial, const QString &sRemote);
    bool downloadFile(const QString &sLocal, const QString &sRemote);
    TransferOutcome sendBlocks(QFile &local, Ftp::FileTransfer &transfer, qint64 total);
    TransferOutcome receiveBlocks(Ftp::FileTransfer &transfer, QFileDevice &local, qint64 total);
    bool afterBlock(qint64 count, qint64 total);
    void pumpMessages();
    bool cancelRequested() const;
    bool secureConnectGoesOn();
    QString temporaryFolder() const;
    void reportProgress(qint64 count, qint64 total);
    // Which entry of the look-up's listing gives the size: the file of exactly that name,
    // or, when there is none, the first that the look-up's pattern matched.
    enum class SizeMatch { ExactFile, ExactOrLookAlike };
    // The server's size of a file, found in a listing, 64 bits wide; -1 when it does not
    // exist, -2 on a failure.
    qint64 findFileSize(const QString &sFile, SizeMatch match);
    // The exact server size of a file to download; -1 when it does not exist, -2 on a failure.
    qint64 downloadSize(const QString &sRemote);
    bool recordFailure(bool succeeded, const QString &operation);
    // Opens a local file of a transfer; records why when it cannot.
    bool openLocal(QFileDevice &file, const QString &sLocal, QIODevice::OpenMode mode);
    // Records a local file that cannot be read or written, in the system's words.
    void recordLocalFailure(const QFileDevice &file);

    Ftp::Session m_session;
    Ftp::CertificateTrust m_certificateTrust;
    CSFtp m_secureChannel;
    Ftp::TransferType m_transferType = Ftp::TransferType::Binary;
    bool m_passive = false;
    bool m_secure = false;
    QString m_lastErrorText;
    std::shared_ptr<cDirList> m_directory;
    QString m_listingError;
    Hooks m_hooks;
    QString m_temporaryFolder;
    quint64 m_connections = 0;
    bool m_loginRefused = false;
    QString m_connectFailureReason;
};
