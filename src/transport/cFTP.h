#pragma once

#include "transport/CSFtp.h"
#include "transport/Session.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QFile;
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

    bool OpenConnection(const QString &sServer, const QString &sUser, const QString &sPassword);
    void CloseConnection();

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
    // The entries matching a pattern ("*", "*.htm", "sub/a?c"); nullptr for an empty result
    // or a failure (Directory then reads as an empty list).
    std::shared_ptr<cDirList> GetDirectoryListing(const QString &sFilter);

    void SetTransferASCII();
    void SetTransferBinary();
    // Take effect at the next OpenConnection.
    void SetModeActive();
    void SetModePassive();

    // Lets the message loop run once; called after every full block of a transfer and by
    // the secure status callback. None by default.
    void setMessagePump(std::function<void()> pump) { m_pump = std::move(pump); }
    void setTimeouts(const Ftp::Timeouts &timeouts) { m_session.setTimeouts(timeouts); }

Q_SIGNALS:
    void FileTransferProgress(qint32 lCurrentBytes, qint32 lTotalBytes);

private:
    enum class TransferOutcome { Done, Failed, Cancelled };

    void RecordError(quint32 code, const QString &operation);
    static double FileTimeToDate(const QDateTime &fileTime);
    bool UploadPageFolder(const QString &sLocal, const QString &sRemote);
    QString MakePageCopy(const QString &sLocal);
    bool DeletePageFolder(const QString &sRemote);
    bool DownloadPageFolder(const QString &sLocal, const QString &sRemote);

    bool secureCommand(const QString &command);
    QString secureDirectory();
    bool secureSetDirectory(const QString &sDir);
    qint32 secureFileSize(const QString &sFile);
    std::shared_ptr<cDirList> secureListing(const QString &sFilter);

    bool uploadFile(const QString &sLocal, const QString &sRemote);
    bool downloadFile(const QString &sLocal, const QString &sRemote);
    TransferOutcome sendBlocks(QFile &local, Ftp::FileTransfer &transfer, qint64 total);
    TransferOutcome receiveBlocks(Ftp::FileTransfer &transfer, QFile &local, qint64 total);
    bool afterBlock(qint64 count, qint64 total);
    void reportProgress(qint64 count, qint64 total);
    // The server's size of a file, 64 bits wide; -1 when it does not exist, -2 on a failure.
    qint64 findFileSize(const QString &sFile);
    // The exact server size of a file to download; -1 when it does not exist, -2 on a failure.
    qint64 downloadSize(const QString &sRemote);
    bool recordFailure(bool succeeded, const QString &operation);

    Ftp::Session m_session;
    CSFtp m_secureChannel;
    Ftp::TransferType m_transferType = Ftp::TransferType::Binary;
    bool m_passive = false;
    bool m_secure = false;
    QString m_lastErrorText;
    std::shared_ptr<cDirList> m_directory;
    std::function<void()> m_pump;
};
