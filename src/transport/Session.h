#pragma once

#include "ControlChannel.h"
#include "Entry.h"
#include "FileTransfer.h"
#include "HashCommand.h"
#include "LeftBehindFiles.h"
#include "RawNames.h"
#include "Timeouts.h"
#include "TlsMode.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace Ftp {

// One logged-in FTP session: the engine that stands where the Internet client library stood.
// Every operation is synchronous, bounded by the session's timeouts, and leaves an error
// number (and for refusals the server's reply) when it fails.
class Session
{
public:
    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    void setTimeouts(const Timeouts &timeouts) { m_timeouts = timeouts; }
    const Timeouts &timeouts() const { return m_timeouts; }
    // Passive mode for the next connect. An active session turns passive by itself when the
    // server cannot reach us.
    void setPassive(bool passive) { m_passiveRequested = m_passive = passive; }
    bool isPassive() const { return m_passive; }

    // Takes effect at the next connect.
    void setTlsMode(TlsMode mode) { m_tlsMode = mode; }
    TlsMode tlsMode() const { return m_tlsMode; }
    // Judges the server's certificate after the handshake: given the host and port, the
    // certificate and what the system's certificate store found wrong with it, returns why it
    // is refused, or nothing when it is accepted. Without a check only a certificate that the
    // store accepts for the host name is.
    using CertificateCheck =
        std::function<QString(const QString &host, quint16 port, const QSslCertificate &certificate,
                              const QList<QSslError> &problems)>;
    void setCertificateCheck(CertificateCheck check) { m_certificateCheck = std::move(check); }
    // In auto mode, asked when the server offers no TLS: why the session is refused (a server
    // that spoke TLS before), or nothing when it may go on in clear text.
    using DowngradeCheck = std::function<QString(const QString &host, quint16 port)>;
    void setDowngradeCheck(DowngradeCheck check) { m_downgradeCheck = std::move(check); }
    // Whether the open session runs over TLS, what was agreed ("TLSv1.3, TLS_AES_...") and the
    // server's certificate.
    bool isEncrypted() const;
    QString tlsDescription() const;
    QSslCertificate serverCertificate() const;

    // Asked while the control connection waits on the server, until taken back (see
    // WaitWatch): a watch that gives up ends the session, as a timeout does.
    void setWaitWatch(WaitWatch watch) { m_control.setWaitWatch(std::move(watch)); }

    // A name in a server folder as one path: "/a" and "b" give "/a/b"; an empty folder gives the
    // name alone.
    static QString joined(const QString &folder, const QString &name);

    // Connects to "host[:port]" or "[v6]:port" and logs in.
    bool connect(const QString &server, const QString &user, const QString &password);
    // Says goodbye (briefly) and closes the connection.
    void close();
    bool isConnected() const;

    std::optional<QString> currentDirectory();
    bool setCurrentDirectory(const QString &directory);
    bool createDirectory(const QString &directory);
    bool removeDirectory(const QString &directory);
    bool deleteFile(const QString &name);
    // Deletes what a failed operation left behind. The session's last failure and reply stay
    // that operation's: they, not the clean-up's, tell why it failed and whether that passes.
    // Given up with the session (a cancel the server did not answer in time), the file goes at
    // the start of the next session of the same account.
    void discardAfterFailure(const QString &name);
    bool rename(const QString &from, const QString &to);
    // The server's SIZE of a file, in binary mode.
    std::optional<qint64> fileSize(const QString &name);
    // The size of the file of exactly that name: SIZE, or its entry on a server that has no
    // SIZE. Nothing for a folder, a missing file or a failure.
    std::optional<qint64> exactFileSize(const QString &name);
    // When a file last changed (MDTM), in UTC; nothing when the server cannot tell.
    std::optional<QDateTime> modificationTime(const QString &name);

    // A file's permission bits as the server lists it to STAT, on the control connection;
    // nothing when the server cannot tell, or for a name with wildcards, which STAT would
    // take for a pattern.
    std::optional<int> fileMode(const QString &name);
    // SITE CHMOD: sets a file's permission bits.
    bool setFileMode(const QString &name, int mode);

    // A server file's hash and how it was computed.
    struct FileDigest
    {
        QCryptographicHash::Algorithm algorithm;
        QByteArray hex; // lower case
    };
    // The hash of a whole server file, where the server offers a hash command this client can
    // check; nothing otherwise, or when it could not be had.
    std::optional<FileDigest> fileHash(const QString &name);

    // The entries that a find pattern names: the folder part (up to the last "/", the
    // current folder when there is none) listed, its entries matched against the name part
    // ("*" and "?"; "*" when empty). A name without wildcards that is a folder lists that
    // folder. Fails with NoMoreFiles when nothing matches, and with TooManyEntries, reading
    // no further, for a folder that holds more than ListingLimit::MaxEntries.
    bool find(const QString &filter, QList<Entry> *entries);
    // The same, each entry handed to take as the listing arrives, so that the listing is never
    // held whole. Entries taken before a failure belong to no listing.
    bool find(const QString &filter, const std::function<void(Entry &&entry)> &take);

    // Whether a name or argument can go to the server: a line break or a NUL would end the
    // command early. Fails with InvalidParameter when not.
    bool checkArgument(const QString &argument);

    // Opens a server file for a block transfer; nothing when the server refuses. A transfer
    // that resumes starts at `offset`: a download after the first `offset` bytes of the
    // server's file, an upload after the server's file, which must hold exactly `offset`
    // bytes (REST before STOR, or APPE from a server without REST).
    std::unique_ptr<FileTransfer> openFile(const QString &remote, FileTransfer::Direction direction,
                                           TransferType type, qint64 offset = 0);
    // Whole-file transfers between a local (Linux) path and the server.
    bool putFile(const QString &localPath, const QString &remote, TransferType type);
    bool getFile(const QString &remote, const QString &localPath, TransferType type);

    // The number of the last failure (see InternetError) and the server's last reply.
    quint32 lastError() const { return m_lastError; }
    QString lastResponse() const { return m_lastResponse; }

private:
    friend class FileTransfer;

    bool fail(quint32 code);
    bool lose(quint32 code);
    // A failure of a data connection; one that a signal interrupted ends the session, since
    // the server may be waiting on it still and the program is about to stop.
    bool failData(quint32 code);
    bool refuse(const Reply &reply);
    bool ready();
    std::optional<Reply> command(const QByteArray &verb, const QString &argument = {});
    // An argument as it goes on the wire: in UTF-8, but where it is a path, each name the
    // server listed in bytes that are not UTF-8 goes back in those bytes.
    QByteArray wireArgument(const QByteArray &verb, const QString &argument) const;
    std::optional<Reply> awaitReply();
    bool simpleCommand(const QByteArray &verb, const QString &argument, int expectedKind = 2);
    // AUTH TLS, as the TLS mode asks, then PBSZ and PROT for protected data connections.
    bool secureControl(const QString &host, quint16 port);
    QString certificateRefusal(const QString &host, quint16 port) const;
    // Data connections resume the control connection's TLS session.
    bool secureData(Socket &data);
    bool failTls(quint32 code, const QString &text);
    bool login(const QString &user, const QString &password);
    // Deletes the files that earlier sessions of this account were to discard when they ended.
    void discardLeftBehind();
    void readFeatures();
    bool setType(TransferType type);
    // A data connection for the verb; nothing when it cannot be had, with *verbUnknown (when
    // given) telling whether the server answered the verb itself as an unknown command.
    // A transfer verb (RETR, STOR) with a restart offset above 0 resumes there.
    std::optional<Socket> openData(const QByteArray &verb, const QString &argument,
                                   bool *verbUnknown = nullptr, qint64 restart = 0);
    std::optional<Socket> tryOpenData(QByteArray verb, const QString &argument, qint64 restart,
                                      bool *retryPassive, bool *verbUnknown);
    // Places the coming transfer after `offset` bytes: REST, or for an upload to a server
    // that does not know it, APPE in place of STOR. False, with the refusal recorded, when it
    // cannot be: a download then starts over.
    bool restartAt(qint64 offset, QByteArray *verb);
    // Lists a folder, handing each entry to take as it arrives.
    bool readListing(const QString &folder, const std::function<void(Entry &&entry)> &take);
    std::optional<Entry> lookUp(const QString &folder, const QString &name);
    bool transferEnded(bool complete);
    // After a transfer was cancelled and its data connection closed: the server's answer, when
    // it comes at once; else the session is given up.
    void transferCancelled();

    ControlChannel m_control;
    Timeouts m_timeouts;
    bool m_passiveRequested = false;
    bool m_passive = false;
    TlsMode m_tlsMode = TlsMode::Auto;
    CertificateCheck m_certificateCheck;
    DowngradeCheck m_downgradeCheck;
    QString m_peerName;
    bool m_lost = false; // the connection broke or timed out: the session is over
    // The optional commands this session uses: what FEAT offered, less what the server then
    // answered as unknown (500, 502), which it does without for the rest of the session.
    bool m_hasMlsd = false;
    bool m_hasMlst = false;
    bool m_noEpsv = false;
    bool m_noSize = false;
    bool m_noRest = false;
    bool m_noMdtm = false;
    bool m_noStat = false;
    std::optional<HashCommand> m_hashCommand;
    std::optional<TransferType> m_type;
    std::optional<QString> m_currentDirectory;
    QString m_account; // "user@server" of the session
    LeftBehindFiles m_leftBehind;
    FileTransfer *m_transfer = nullptr;
    quint32 m_lastError = 0;
    QString m_lastResponse;
    // The names listed in this session in bytes that are not UTF-8.
    RawNames m_rawNames;
};

} // namespace Ftp
