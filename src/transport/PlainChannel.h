#pragma once

#include "platform/LocalDates.h"
#include "transport/BlockTransfers.h"
#include "transport/CertificateTrust.h"
#include "transport/FailureRecorder.h"
#include "transport/PageFolders.h"
#include "transport/ServerChannel.h"
#include "transport/Session.h"

class ChannelOwner;
class cFTP;

// The channel over the FTP engine, with TLS as the session's mode asks. Every failure leaves
// its text with the client; a web page's companion folder travels through the client's own
// calls, file by file.
class PlainChannel final : public ServerChannel
{
public:
    PlainChannel(cFTP &client, ChannelOwner &owner);

    void setTransferType(Ftp::TransferType type)
    {
        m_transferType = type;
        m_transfers.setTransferType(type);
    }
    // Takes effect at the next open.
    void setPassive(bool passive) { m_passive = passive; }
    void setTimeouts(const Ftp::Timeouts &timeouts) { m_session.setTimeouts(timeouts); }
    void setTlsMode(Ftp::TlsMode mode) { m_session.setTlsMode(mode); }
    QString tlsDescription() const { return m_session.tlsDescription(); }
    QString certificateStatus() const;
    QString newCertificateText() const;

    // Whole-file transfers in one call, between a Linux path and the server.
    bool putFile(const LocalPath &local, const QString &remote);
    bool getFile(const LocalPath &local, const QString &remote);

    std::optional<ConnectFailure> open(const QString &server, const QString &user,
                                       const QString &password,
                                       const std::function<bool()> &stopped) override;
    void close() override;
    bool rename(const QString &from, const QString &to) override;
    bool makeFolder(const QString &folder) override;
    bool removeFolder(const QString &folder) override;
    bool deleteFile(const QString &remote) override;
    bool upload(const LocalPath &local, const QString &remote, Resume resume) override;
    bool download(const LocalPath &local, const QString &remote, Resume resume) override;
    std::optional<QString> currentFolder() override;
    bool setCurrentFolder(const QString &folder, FolderMatch match) override;
    qint64 fileSize(const QString &file, SizeMatch match) override;
    std::optional<bool> fileExists(const QString &file) override;
    ListingEnd list(const QString &filter,
                    const std::function<void(Ftp::Entry &&entry)> &take) override;
    double recordDate(const QDateTime &utc) const override;
    // Closes the session; under a running upload, once the upload has seen the cancel asked
    // for besides and taken away the partial file it leaves on the server.
    void stopTransfer() override;
    bool stopClosesSession() const override { return true; }
    void setCommandsInterruptible(bool interruptible) override;
    QString failureText() const override { return {}; }
    bool failureIsPassing() const override;
    QString securityNote(bool detailed) const override;

private:
    ConnectFailure connectFailure(bool stopped) const;
    // The server's size of a file, found in a listing, 64 bits wide; -1 when it does not
    // exist, -2 on a failure.
    qint64 findFileSize(const QString &file, SizeMatch match);
    // The exact server size of a file to download; -1 when it does not exist, -2 on a failure.
    qint64 downloadSize(const QString &remote);

    // An upload that a stop closes the session after.
    bool stoppableUpload(const LocalPath &local, const QString &remote, Resume resume);

    ChannelOwner &m_owner;
    Ftp::Session m_session;
    Ftp::CertificateTrust m_certificateTrust;
    FailureRecorder m_failures;
    BlockTransfers m_transfers;
    PageFolders m_pages;
    Ftp::TransferType m_transferType = Ftp::TransferType::Binary;
    bool m_passive = false;
    bool m_uploading = false;
    bool m_closeAfterUpload = false;
    // While commands are interruptible: what their waits ask, and a stop none has seen yet.
    Ftp::WaitWatch m_commandWatch;
    bool m_stopRequested = false;
    Platform::LocalDates m_dates;
};
