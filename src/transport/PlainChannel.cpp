#include "transport/PlainChannel.h"

#include "platform/LocalDates.h"
#include "platform/ReplacingFile.h"
#include "platform/TextValue.h"
#include "transport/ChannelOwner.h"
#include "transport/InternetError.h"
#include "transport/LocalPath.h"
#include "transport/PageNames.h"

#include <algorithm>
#include <utility>

namespace InternetError = Ftp::InternetError;

namespace {

// The pattern that finds a file by name: blanks become the one-character wildcard, so that
// names with blanks can be looked up. Only the name part, where the engine matches wildcards.
QString sizePattern(const QString &file)
{
    QString pattern = file;
    for (qsizetype i = pattern.lastIndexOf(QLatin1Char('/')) + 1; i < pattern.size(); ++i) {
        if (pattern.at(i) == QLatin1Char(' '))
            pattern[i] = QLatin1Char('?');
    }
    return pattern;
}

} // namespace

PlainChannel::PlainChannel(cFTP &client, ChannelOwner &owner)
    : m_owner(owner)
    , m_failures(m_session, owner)
    , m_transfers(m_session, owner, m_failures)
    , m_pages(client, owner)
{
    m_session.setCertificateCheck([this](const QString &host, quint16 port,
                                         const QSslCertificate &certificate,
                                         const QList<QSslError> &problems) {
        return m_certificateTrust.refusal(host, port, certificate, problems);
    });
    m_session.setDowngradeCheck([this](const QString &host, quint16 port) {
        return m_certificateTrust.downgradeRefusal(host, port);
    });
}

QString PlainChannel::certificateStatus() const
{
    return m_session.isEncrypted() ? m_certificateTrust.status() : QString();
}

QString PlainChannel::newCertificateText() const
{
    return m_session.isEncrypted() ? m_certificateTrust.newCertificateText() : QString();
}

QString PlainChannel::securityNote(bool detailed) const
{
    // Unasked, only a newly pinned certificate, which the user should know of.
    if (!detailed)
        return newCertificateText();
    return tlsDescription().isEmpty() ? QStringLiteral("no TLS: the session runs in clear text")
                                      : QStringLiteral("TLS: ") + tlsDescription() +
                                            QStringLiteral("; ") + certificateStatus();
}

bool PlainChannel::putFile(const LocalPath &local, const QString &remote)
{
    return m_failures.check(m_session.putFile(local.linuxPath(), remote, m_transferType),
                            QStringLiteral("SimpleFtpPutFile"));
}

bool PlainChannel::getFile(const LocalPath &local, const QString &remote)
{
    return m_failures.check(m_session.getFile(remote, local.linuxPath(), m_transferType),
                            QStringLiteral("SimpleFtpGetFile"));
}

std::optional<ServerChannel::ConnectFailure>
PlainChannel::open(const QString &server, const QString &user, const QString &password,
                   const std::function<bool()> &stopped)
{
    // Going online and opening an Internet session cannot fail here: the engine needs
    // neither, so the connect is the first step that can.
    m_session.close();
    m_session.setPassive(m_passive);
    // The message loop runs while the session opens, so that the window on the screen stays
    // alive and a Cancel button in it can stop the connect.
    m_session.setWaitWatch([this, &stopped] {
        m_owner.pumpMessages();
        return !stopped();
    });
    // The folder the login puts the user in is part of opening the session (every server path
    // starts from it): a server that stalls there is waited for as at the login. A refused PWD
    // leaves the session open.
    m_transfers.setServer(QStringLiteral("ftp://") + user + u'@' + server);
    const bool connected = !stopped() && m_session.connect(server, user, password) &&
                           (m_session.currentDirectory() || m_session.isConnected());
    m_session.setWaitWatch(m_commandWatch);
    if (connected)
        return std::nullopt;
    m_failures.record(stopped() ? InternetError::OperationCancelled : m_session.lastError(),
                      QStringLiteral("InternetConnect"));
    return connectFailure(stopped());
}

ServerChannel::ConnectFailure PlainChannel::connectFailure(bool stopped) const
{
    const QString response = m_session.lastResponse();
    switch (stopped ? InternetError::OperationCancelled : m_session.lastError()) {
    case InternetError::OperationCancelled:
        // A connect given up says nothing about the login data, nor about the server.
        return {false, QStringLiteral("Connecting was cancelled.")};
    case InternetError::ExtendedError:
        // 530 is the server's "not logged in"; any other refusal (a full server, a TLS rule)
        // is told in its own words.
        if (response.startsWith(QLatin1String("530")))
            return {true, {}};
        return {false, response};
    case InternetError::Timeout:
        return {false, QStringLiteral("The server did not answer.")};
    case InternetError::NameNotResolved:
        return {false, QStringLiteral("The server's name could not be found.")};
    case InternetError::CannotConnect:
        return {false, QStringLiteral("The server could not be reached.")};
    case InternetError::SecureChannelError:
        return {false, QStringLiteral("The encrypted connection failed: ") + response};
    default:
        return {false, QStringLiteral("The connection to the server was lost.")};
    }
}

void PlainChannel::close()
{
    // Also safe while a transfer runs (a window closed from the message pump): the engine
    // then fails the transfer's next block.
    m_session.close();
}

bool PlainChannel::rename(const QString &from, const QString &to)
{
    return m_failures.check(m_session.rename(from, to), QStringLiteral("RenameFTPFile"));
}

bool PlainChannel::makeFolder(const QString &folder)
{
    return m_failures.check(m_session.createDirectory(folder),
                            QStringLiteral("CreateFTPDirectory"));
}

bool PlainChannel::removeFolder(const QString &folder)
{
    return m_failures.check(m_session.removeDirectory(folder),
                            QStringLiteral("RemoveFTPDirectory"));
}

bool PlainChannel::deleteFile(const QString &remote)
{
    if (PageNames::isPage(remote))
        m_pages.remove(remote);
    return m_failures.check(m_session.deleteFile(remote), QStringLiteral("DeleteFTPFile"));
}

bool PlainChannel::upload(const LocalPath &given, const QString &remote, Resume resume)
{
    const LocalPath local = given.trimmed();
    if (PageNames::isPage(local.dosPath())) {
        if (const std::optional<bool> uploaded = m_pages.upload(local, remote))
            return *uploaded;
    }
    return stoppableUpload(local, Trim(remote), resume);
}

bool PlainChannel::stoppableUpload(const LocalPath &local, const QString &remote, Resume resume)
{
    m_uploading = true;
    const bool uploaded = m_transfers.upload(local, remote, resume);
    m_uploading = false;
    if (std::exchange(m_closeAfterUpload, false))
        close();
    return uploaded;
}

void PlainChannel::stopTransfer()
{
    // Closed at once, the session could no longer remove what went up of a small file: the
    // upload ends at its next block, removes it, and the session closes then.
    if (m_uploading)
        m_closeAfterUpload = true;
    // Closed from the message loop, the connection would go from under the wait that runs
    // it: the wait ends at its next look at the watch, and the session with it. Under
    // interruptible commands that holds for an upload's waits for the server too: the user
    // asked not to wait, and a file cut short there is left to the next upload.
    if (m_commandWatch)
        m_stopRequested = true;
    else if (!m_uploading)
        close();
}

void PlainChannel::setCommandsInterruptible(bool interruptible)
{
    m_commandWatch = {};
    if (interruptible) {
        // A stop ends one wait, and the session with it, as closing the session would have.
        m_commandWatch = [this] {
            m_owner.pumpMessages();
            return !std::exchange(m_stopRequested, false);
        };
    }
    m_session.setWaitWatch(m_commandWatch);
    if (!interruptible && std::exchange(m_stopRequested, false))
        close();
}

bool PlainChannel::download(const LocalPath &given, const QString &givenRemote, Resume resume)
{
    const LocalPath local = given.trimmed();
    const QString remote = Trim(givenRemote);
    if (local.dosPath().isEmpty() || remote.isEmpty())
        return false;
    // A target that takes no download (a socket, a block device) costs the server nothing.
    if (const std::optional<QString> refusal =
            Platform::ReplacingFile::refusalFor(local.linuxPath())) {
        m_failures.recordLocal(local.linuxPath(), *refusal);
        return false;
    }
    if (PageNames::isPage(remote))
        m_pages.download(local, remote);
    // The size in full 64 bits, so files beyond 2 GiB arrive whole.
    const qint64 total = downloadSize(remote);
    return total > 0 && m_transfers.download(local, remote, total, resume);
}

bool PlainChannel::failureIsPassing() const
{
    if (!m_session.isConnected())
        return true;
    switch (m_session.lastError()) {
    case InternetError::Timeout:
    case InternetError::CannotConnect:
    case InternetError::ConnectionAborted:
    case InternetError::ConnectionReset:
    case InternetError::FtpDropped:
        return true;
    case InternetError::ExtendedError:
        // 4xx: the server cannot now (a data connection failed, the disk is busy), 5xx: never.
        return m_session.lastResponse().startsWith(u'4');
    default:
        return false;
    }
}

std::optional<QString> PlainChannel::currentFolder()
{
    const std::optional<QString> folder = m_session.currentDirectory();
    if (!folder)
        m_failures.recordLast(QStringLiteral("FtpGetCurrentDirectory"));
    return folder;
}

bool PlainChannel::setCurrentFolder(const QString &folder, FolderMatch)
{
    // The server's answer to CWD tells either way: it stands where it was sent, whatever it
    // then names that folder.
    return m_failures.check(m_session.setCurrentDirectory(folder),
                            QStringLiteral("FtpSetCurrentDirectory"));
}

qint64 PlainChannel::fileSize(const QString &file, SizeMatch match)
{
    // The exact file is asked for by name, on the control connection where the server can.
    return match == SizeMatch::ExactFile ? downloadSize(file) : findFileSize(file, match);
}

std::optional<bool> PlainChannel::fileExists(const QString &file)
{
    const qint64 size = findFileSize(file, SizeMatch::ExactFile);
    if (size < -1)
        return std::nullopt;
    return size >= 0;
}

ServerChannel::ListingEnd PlainChannel::list(const QString &filter,
                                             const std::function<void(Ftp::Entry &&entry)> &take)
{
    // The zone is read once a listing, not for every entry's date.
    m_dates = Platform::LocalDates();
    if (m_session.find(filter, take))
        return {true, {}};
    // A folder or pattern without entries is no failure, and no listing either.
    if (m_session.lastError() == InternetError::NoMoreFiles)
        return {false, {}};
    return {false, m_failures.recordLast(QStringLiteral("FtpFindFirstFile"))};
}

double PlainChannel::recordDate(const QDateTime &utc) const
{
    // The date's own offset from UTC, daylight saving included.
    return m_dates.fromDateTime(utc);
}

qint64 PlainChannel::downloadSize(const QString &remote)
{
    // SIZE answers on the control connection: finding one file in a listing would cost a data
    // connection and the whole folder for every download.
    if (const std::optional<qint64> size = m_session.fileSize(remote))
        return *size;
    if (m_session.lastError() != InternetError::ExtendedError) {
        m_failures.recordLast(QStringLiteral("FtpFindFirstFile"));
        return -2;
    }
    // SIZE is an extension that not every server offers, so a refusal may only mean that:
    // the listing tells the size the way GetFTPFileSize finds it (recording its failure).
    return findFileSize(remote, SizeMatch::ExactFile);
}

qint64 PlainChannel::findFileSize(const QString &file, SizeMatch match)
{
    QList<Ftp::Entry> entries;
    if (!m_session.find(sizePattern(file), &entries)) {
        if (m_session.lastError() == InternetError::NoMoreFiles)
            return -1;
        m_failures.recordLast(QStringLiteral("FtpFindFirstFile"));
        return -2;
    }
    if (entries.isEmpty())
        return -1;
    // The pattern may match more than the file ("my?file" also finds "my_file"): the file of
    // exactly that name wins.
    const QString name = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    const auto exact = std::find_if(entries.cbegin(), entries.cend(), [&](const Ftp::Entry &entry) {
        return entry.name == name && (match == SizeMatch::ExactOrLookAlike || !entry.isDirectory);
    });
    if (exact != entries.cend())
        return exact->size;
    return match == SizeMatch::ExactOrLookAlike ? entries.first().size : -1;
}
