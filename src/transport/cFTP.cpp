#include "transport/cFTP.h"

#include "platform/DosPath.h"
#include "platform/FileSystemObject.h"
#include "platform/LocalDates.h"
#include "platform/ReplacingFile.h"
#include "platform/TextValue.h"
#include "transport/InternetError.h"
#include "transport/ListingRecord.h"
#include "transport/PageNames.h"
#include "transport/PartialUpload.h"
#include "transport/SecureCommand.h"
#include "transport/cDirList.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>

namespace {

using Ftp::FileTransfer;
namespace InternetError = Ftp::InternetError;

const QLatin1Char Backslash('\\');

// Progress travels in 32 bits; larger files report the largest value instead of wrapping.
qint32 progressValue(qint64 bytes)
{
    return qint32(std::min<qint64>(bytes, std::numeric_limits<qint32>::max()));
}

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

cFTP::cFTP(QObject *parent)
    : QObject(parent)
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

QString cFTP::certificateStatus() const
{
    return m_session.isEncrypted() ? m_certificateTrust.status() : QString();
}

QString cFTP::newCertificateText() const
{
    return m_session.isEncrypted() ? m_certificateTrust.newCertificateText() : QString();
}

cFTP::~cFTP() = default;

std::shared_ptr<cDirList> cFTP::Directory()
{
    if (!m_directory)
        m_directory = std::make_shared<cDirList>();
    return m_directory;
}

bool cFTP::OpenConnection(const QString &sServer, const QString &sUser, const QString &sPassword,
                          const std::function<bool()> &stopRequested)
{
    ++m_connections;
    m_loginRefused = false;
    m_connectFailureReason.clear();
    const std::function<bool()> stopped = [&stopRequested] {
        return stopRequested && stopRequested();
    };
    return m_secure ? openSecureSession(sServer, sUser, sPassword, stopped)
                    : openPlainSession(sServer, sUser, sPassword, stopped);
}

bool cFTP::openSecureSession(const QString &sServer, const QString &sUser, const QString &sPassword,
                             const std::function<bool()> &stopped)
{
    QString reply;
    bool connected = false;
    if (!stopped()) {
        setSecureStatusWatch(
            [this, &stopped] { return !stopped() && secureConnectGoesOn() && !stopped(); });
        connected =
            m_secureChannel.SFtpConnect(sUser, sPassword, sServer, reply, &SecureStatusCallback);
        setSecureStatusWatch({});
    }
    if (!connected)
        recordConnectFailure(stopped(), SecureCommand::upToNul(reply));
    return connected;
}

bool cFTP::openPlainSession(const QString &sServer, const QString &sUser, const QString &sPassword,
                            const std::function<bool()> &stopped)
{
    // Going online and opening an Internet session cannot fail here: the engine needs
    // neither, so the connect is the first step that can.
    m_session.close();
    m_session.setPassive(m_passive);
    // The message loop runs while the session opens, so that the window on the screen stays
    // alive and a Cancel button in it can stop the connect.
    m_session.setWaitWatch([this, &stopped] {
        pumpMessages();
        return !stopped();
    });
    // The folder the login puts the user in is part of opening the session (every server path
    // starts from it): a server that stalls there is waited for as at the login. A refused PWD
    // leaves the session open.
    const bool connected = !stopped() && m_session.connect(sServer, sUser, sPassword) &&
                           (m_session.currentDirectory() || m_session.isConnected());
    m_session.setWaitWatch({});
    if (!connected) {
        RecordError(stopped() ? InternetError::OperationCancelled : m_session.lastError(),
                    QStringLiteral("InternetConnect"));
        recordConnectFailure(stopped());
    }
    return connected;
}

void cFTP::recordConnectFailure(bool stopped, const QString &secureReply)
{
    // A connect given up says nothing about the login data, nor about the server.
    if (stopped || (!m_secure && m_session.lastError() == InternetError::OperationCancelled)) {
        m_connectFailureReason = QStringLiteral("Connecting was cancelled.");
        return;
    }
    if (m_secure) {
        // The secure library says why in words of its own; one of them is the refused login.
        m_loginRefused = secureReply.contains(QLatin1String("refused the user name or password"));
        if (!m_loginRefused)
            m_connectFailureReason = secureReply;
        return;
    }
    const QString response = m_session.lastResponse();
    switch (m_session.lastError()) {
    case InternetError::ExtendedError:
        // 530 is the server's "not logged in"; any other refusal (a full server, a TLS rule)
        // is told in its own words.
        m_loginRefused = response.startsWith(QLatin1String("530"));
        if (!m_loginRefused)
            m_connectFailureReason = response;
        return;
    case InternetError::Timeout:
        m_connectFailureReason = QStringLiteral("The server did not answer.");
        return;
    case InternetError::NameNotResolved:
        m_connectFailureReason = QStringLiteral("The server's name could not be found.");
        return;
    case InternetError::CannotConnect:
        m_connectFailureReason = QStringLiteral("The server could not be reached.");
        return;
    case InternetError::SecureChannelError:
        m_connectFailureReason = QStringLiteral("The encrypted connection failed: ") + response;
        return;
    default:
        m_connectFailureReason = QStringLiteral("The connection to the server was lost.");
        return;
    }
}

void cFTP::CloseConnection()
{
    if (m_secure) {
        QString reply;
        m_secureChannel.SFtpClose(reply);
        return;
    }
    // Also safe while a transfer runs (a window closed from the message pump): the engine
    // then fails the transfer's next block.
    m_session.close();
}

bool cFTP::SimpleFTPPutFile(const QString &sLocal, const QString &sRemote)
{
    return recordFailure(
        m_session.putFile(Platform::DosPath::toLinux(sLocal), sRemote, m_transferType),
        QStringLiteral("SimpleFtpPutFile"));
}

bool cFTP::RenameFTPFile(const QString &sExisting, const QString &sNewName)
{
    if (m_secure)
        return secureCommand(SecureCommand::command(u"ren ", sExisting, sNewName));
    return recordFailure(m_session.rename(sExisting, sNewName), QStringLiteral("RenameFTPFile"));
}

bool cFTP::CreateFTPDirectory(const QString &sDirectory)
{
    if (m_secure)
        return secureCommand(SecureCommand::command(u"mkdir ", sDirectory));
    return recordFailure(m_session.createDirectory(sDirectory),
                         QStringLiteral("CreateFTPDirectory"));
}

bool cFTP::RemoveFTPDirectory(const QString &sDirectory)
{
    if (m_secure)
        return secureCommand(SecureCommand::command(u"rmdir ", sDirectory));
    return recordFailure(m_session.removeDirectory(sDirectory),
                         QStringLiteral("RemoveFTPDirectory"));
}

bool cFTP::DeleteFTPFile(const QString &sRemote)
{
    if (m_secure) {
        const QStringView verb = PageNames::isSecurePage(sRemote) ? u"del -h " : u"del ";
        return secureCommand(SecureCommand::command(verb, sRemote));
    }
    if (PageNames::isPage(sRemote))
        DeletePageFolder(sRemote);
    return recordFailure(m_session.deleteFile(sRemote), QStringLiteral("DeleteFTPFile"));
}

bool cFTP::FTPUploadFile(const QString &sLocal, const QString &sRemote)
{
    if (m_secure) {
        const QStringView verb = PageNames::isSecurePage(sLocal) ? u"put -h " : u"put ";
        return secureTransfer(SecureCommand::command(verb, sLocal, sRemote));
    }
    const QString local = Trim(sLocal);
    if (PageNames::isPage(local)) {
        if (const std::optional<bool> uploaded = UploadPageFolder(local, sRemote))
            return *uploaded;
    }
    return uploadFile(local, Trim(sRemote));
}

bool cFTP::FTPDownloadFile(const QString &sLocal, const QString &sRemote)
{
    if (m_secure) {
        const QStringView verb = PageNames::isSecurePage(sRemote) ? u"get -h " : u"get ";
        return secureTransfer(SecureCommand::command(verb, sRemote, sLocal));
    }
    const QString local = Trim(sLocal);
    const QString remote = Trim(sRemote);
    if (local.isEmpty() || remote.isEmpty())
        return false;
    if (PageNames::isPage(remote))
        DownloadPageFolder(local, remote);
    return downloadFile(local, remote);
}

bool cFTP::SimpleFTPGetFile(const QString &sLocal, const QString &sRemote)
{
    return recordFailure(
        m_session.getFile(sRemote, Platform::DosPath::toLinux(sLocal), m_transferType),
        QStringLiteral("SimpleFtpGetFile"));
}

QString cFTP::GetFTPDirectory()
{
    if (m_secure)
        return secureDirectory();
    const std::optional<QString> directory = m_session.currentDirectory();
    if (!directory) {
        RecordError(m_session.lastError(), QStringLiteral("FtpGetCurrentDirectory"));
        return {};
    }
    return *directory;
}

bool cFTP::SetFTPDirectory(const QString &sDir)
{
    if (m_secure)
        return secureSetDirectory(sDir);
    return recordFailure(m_session.setCurrentDirectory(sDir),
                         QStringLiteral("FtpSetCurrentDirectory"));
}

qint32 cFTP::GetFTPFileSize(const QString &sFile)
{
    if (m_secure)
        return secureFileSize(sFile);
    const qint64 size = findFileSize(sFile, SizeMatch::ExactOrLookAlike);
    return size < 0 ? qint32(size) : ListingRecord::fileSize(size);
}

std::optional<bool> cFTP::FTPFileExists(const QString &sFile)
{
    if (m_secure) {
        // The secure library lists a missing name as nothing, without failing.
        QString reply;
        if (!m_secureChannel.SFtpCmd(SecureCommand::command(u"dir ", sFile), reply))
            return std::nullopt;
        return !SecureCommand::upToNul(reply).isEmpty();
    }
    const qint64 size = findFileSize(sFile, SizeMatch::ExactFile);
    if (size < -1)
        return std::nullopt;
    return size >= 0;
}

std::shared_ptr<cDirList> cFTP::GetDirectoryListing(const QString &sFilter)
{
    m_directory.reset();
    m_listingError.clear();
    if (m_secure)
        return secureListing(sFilter);

    // The records are made as the listing arrives: it is never held whole.
    auto list = std::make_shared<cDirList>();
    const Platform::LocalDates dates;
    const bool found = m_session.find(sFilter, [&list, &dates](Ftp::Entry &&entry) {
        const double date = dates.fromDateTime(entry.modified);
        list->Add(entry.isDirectory ? ListingRecord::DirectoryAttributes
                                    : ListingRecord::NormalAttributes,
                  date, date, date, ListingRecord::fileSize(entry.size), entry.name);
    });
    if (!found) {
        if (m_session.lastError() != InternetError::NoMoreFiles) {
            RecordError(m_session.lastError(), QStringLiteral("FtpFindFirstFile"));
            m_listingError = m_lastErrorText;
        }
        return nullptr;
    }
    m_directory = std::move(list);
    return m_directory;
}

void cFTP::SetTransferASCII()
{
    // Deliberately binary as well: an ASCII transfer changes the byte count, while a block
    // download reads exactly the size the server listed, so ASCII would cut pages short.
    m_transferType = Ftp::TransferType::Binary;
}

void cFTP::SetTransferBinary()
{
    m_transferType = Ftp::TransferType::Binary;
}

void cFTP::SetModeActive()
{
    m_passive = false;
}

void cFTP::SetModePassive()
{
    m_passive = true;
}

void cFTP::RecordError(quint32 code, const QString &operation)
{
    // A refusal by the server is best told in the server's own words.
    if (code == InternetError::ExtendedError) {
        m_lastErrorText = m_session.lastResponse();
        return;
    }
    m_lastErrorText = operation + QLatin1String(" error code: ") + QString::number(code) +
                      QLatin1String(" Message: ") + InternetError::text(code);
    // What went wrong in the secure channel is told in the TLS library's own words.
    if (code == InternetError::SecureChannelError)
        m_lastErrorText += QLatin1String(": ") + m_session.lastResponse();
}

bool cFTP::openLocal(QFileDevice &file, const QString &sLocal, QIODevice::OpenMode mode)
{
    if (file.fileName().isEmpty()) {
        m_lastErrorText =
            QStringLiteral("The local path %1 lies on no drive of this computer.").arg(sLocal);
        return false;
    }
    if (!file.open(mode)) {
        recordLocalFailure(file);
        return false;
    }
    return true;
}

void cFTP::recordLocalFailure(const QFileDevice &file)
{
    m_lastErrorText = QStringLiteral("Local file %1: %2")
                          .arg(Platform::DosPath::toDos(file.fileName()), file.errorString());
}

bool cFTP::recordFailure(bool succeeded, const QString &operation)
{
    if (!succeeded)
        RecordError(m_session.lastError(), operation);
    return succeeded;
}

// --- Block transfers --------------------------------------------------------------------

// A failed transfer releases the local file and the server transfer on its way out (both are
// owned by the function), so no later transfer can find them still open.

bool cFTP::uploadFile(const QString &sLocal, const QString &sRemote)
{
    if (sLocal.isEmpty() || sRemote.isEmpty())
        return false;

    // The local file is opened before the server file: a local path that cannot be read must
    // not leave an empty file on the server, nor empty an existing one.
    QFile local(Platform::DosPath::toLinux(sLocal));
    if (!openLocal(local, sLocal, QIODevice::ReadOnly))
        return false;
    // The file goes up under a name of its own beside the target, which it replaces only once
    // the server has confirmed it whole: a failed or cancelled upload leaves the server's
    // earlier version as it was, and removes only its own partial file.
    const QString partial = partialUploadName(sRemote);
    const std::unique_ptr<FileTransfer> transfer =
        m_session.openFile(partial, FileTransfer::Direction::Write, m_transferType);
    if (!transfer) {
        RecordError(m_session.lastError(), QStringLiteral("FtpOpenFile:PutFile"));
        return false;
    }

    const qint64 total = local.size();
    const TransferOutcome outcome = sendBlocks(local, *transfer, total);
    local.close();
    if (outcome != TransferOutcome::Done) {
        // The session carries one command at a time: the transfer ends before anything else.
        transfer->abort();
        removePartialUpload(partial);
        return false;
    }
    // Only the server's confirmation makes the upload a success.
    if (!transfer->finish()) {
        RecordError(m_session.lastError(), QStringLiteral("InternetWriteFile2"));
        removePartialUpload(partial);
        return false;
    }
    if (!replaceWithUpload(partial, sRemote))
        return false;
    reportProgress(total, total);
    return true;
}

QString cFTP::partialUploadName(const QString &sRemote)
{
    return PartialUpload::pathFor(sRemote);
}

void cFTP::removePartialUpload(const QString &partial)
{
    // The engine is asked directly, so the failure already recorded stays the one told.
    m_session.deleteFile(partial);
}

bool cFTP::replaceWithUpload(const QString &partial, const QString &sRemote)
{
    if (m_session.rename(partial, sRemote))
        return true;
    // Some servers do not rename over an existing file: the old one goes first, at once.
    if (m_session.lastError() == InternetError::ExtendedError && m_session.deleteFile(sRemote) &&
        m_session.rename(partial, sRemote))
        return true;
    // The new file stays whole under its own name rather than be lost with the old one.
    RecordError(m_session.lastError(), QStringLiteral("RenameFTPFile"));
    return false;
}

cFTP::TransferOutcome cFTP::sendBlocks(QFile &local, FileTransfer &transfer, qint64 total)
{
    char block[BlockSize];
    const qint64 fullBlocks = total / BlockSize;
    qint64 count = 0;
    for (qint64 i = 0; i < fullBlocks; ++i) {
        if (local.read(block, BlockSize) != BlockSize) {
            recordLocalFailure(local);
            return TransferOutcome::Failed;
        }
        if (!transfer.write(block, BlockSize)) {
            RecordError(m_session.lastError(), QStringLiteral("InternetWriteFile"));
            return TransferOutcome::Failed;
        }
        count += BlockSize;
        if (!afterBlock(count, total))
            return TransferOutcome::Cancelled;
    }

    const qint64 rest = total - fullBlocks * BlockSize;
    if (rest > 0) {
        if (local.read(block, rest) != rest) {
            recordLocalFailure(local);
            return TransferOutcome::Failed;
        }
        if (!transfer.write(block, rest)) {
            RecordError(m_session.lastError(), QStringLiteral("InternetWriteFile2"));
            return TransferOutcome::Failed;
        }
    }
    return TransferOutcome::Done;
}

bool cFTP::downloadFile(const QString &sLocal, const QString &sRemote)
{
    // The size in full 64 bits, so files beyond 2 GiB arrive whole.
    const qint64 total = downloadSize(sRemote);
    if (total <= 0)
        return false;
    // The download goes to a fresh file beside the local one, which it replaces only once it
    // is whole and the server has confirmed it: a failed or cancelled download leaves the old
    // file as it was, and no partial file to be taken for the real one. A link of that name is
    // replaced, not written through. It is opened first, so that a local file that cannot be
    // written costs the server nothing.
    Platform::ReplacingFile local(Platform::DosPath::toLinux(sLocal));
    if (!openLocal(local, sLocal, QIODevice::WriteOnly))
        return false;
    const std::unique_ptr<FileTransfer> transfer =
        m_session.openFile(sRemote, FileTransfer::Direction::Read, m_transferType);
    if (!transfer) {
        RecordError(m_session.lastError(), QStringLiteral("FtpOpenFile:GetFile"));
        return false;
    }

    if (receiveBlocks(*transfer, local, total) != TransferOutcome::Done) {
        transfer->abort();
        return false;
    }
    // Written out before the server is asked, so that a full disk is told as what it is.
    if (!local.flush()) {
        recordLocalFailure(local);
        transfer->abort();
        return false;
    }
    if (!transfer->finish()) {
        RecordError(m_session.lastError(), QStringLiteral("InternetReadFile2"));
        return false;
    }
    if (!local.commit()) {
        recordLocalFailure(local);
        return false;
    }
    reportProgress(total, total);
    return true;
}

cFTP::TransferOutcome cFTP::receiveBlocks(FileTransfer &transfer, QFileDevice &local, qint64 total)
{
    char block[BlockSize];
    // Fewer bytes than the listing gave mean the server ended the file early.
    const auto readBlock = [&](qint64 size, const QString &operation) {
        const qsizetype read = transfer.read(block, size);
        if (read == size)
            return true;
        RecordError(read < 0 ? m_session.lastError() : quint32(InternetError::ConnectionAborted),
                    operation);
        return false;
    };

    const auto writeBlock = [&](qint64 size) {
        if (local.write(block, size) == size)
            return true;
        // A failed write leaves the file without the system's reason; the flush that follows
        // it sets it (a full disk, a file too large).
        local.flush();
        recordLocalFailure(local);
        return false;
    };

    const qint64 fullBlocks = total / BlockSize;
    qint64 count = 1; // a download counts from 1
    for (qint64 i = 0; i < fullBlocks; ++i) {
        if (!readBlock(BlockSize, QStringLiteral("InternetReadFile")) || !writeBlock(BlockSize))
            return TransferOutcome::Failed;
        count += BlockSize;
        if (!afterBlock(count, total))
            return TransferOutcome::Cancelled;
    }

    const qint64 rest = total - fullBlocks * BlockSize;
    if (rest > 0 && (!readBlock(rest, QStringLiteral("InternetReadFile2")) || !writeBlock(rest)))
        return TransferOutcome::Failed;
    // More bytes than the size given mean the file is not the one that was sized: what arrived
    // is no whole copy of anything.
    if (transfer.read(block, 1) != 0) {
        m_lastErrorText = QStringLiteral("The server sent more than the %1 bytes it gave as the "
                                         "size of the file.")
                              .arg(total);
        return TransferOutcome::Failed;
    }
    return TransferOutcome::Done;
}

bool cFTP::afterBlock(qint64 count, qint64 total)
{
    pumpMessages();
    if (cancelRequested())
        return false;
    reportProgress(count, total);
    return true;
}

void cFTP::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
    m_secureChannel.setBeforeCommand(m_hooks.beforeSecureCommand);
}

void cFTP::pumpMessages()
{
    if (m_hooks.pumpMessages)
        m_hooks.pumpMessages();
}

bool cFTP::cancelRequested() const
{
    return m_hooks.cancelRequested && m_hooks.cancelRequested();
}

bool cFTP::secureConnectGoesOn()
{
    if (m_hooks.secureConnectGoesOn)
        return m_hooks.secureConnectGoesOn();
    // A cancel ends the connect without another turn of the loop.
    if (cancelRequested())
        return false;
    pumpMessages();
    return !cancelRequested();
}

QString cFTP::temporaryFolder() const
{
    if (!m_temporaryFolder.isEmpty())
        return m_temporaryFolder;
    return Platform::DosPath::withSeparator(Platform::DosPath::toDos(QDir::tempPath()));
}

void cFTP::reportProgress(qint64 count, qint64 total)
{
    Q_EMIT FileTransferProgress(progressValue(count), progressValue(total));
    Q_EMIT TransferProgress(count, total);
}

qint64 cFTP::downloadSize(const QString &sRemote)
{
    // SIZE answers on the control connection: finding one file in a listing would cost a data
    // connection and the whole folder for every download.
    if (const std::optional<qint64> size = m_session.fileSize(sRemote))
        return *size;
    if (m_session.lastError() != InternetError::ExtendedError) {
        RecordError(m_session.lastError(), QStringLiteral("FtpFindFirstFile"));
        return -2;
    }
    // SIZE is an extension that not every server offers, so a refusal may only mean that:
    // the listing tells the size the way GetFTPFileSize finds it (recording its failure).
    return findFileSize(sRemote, SizeMatch::ExactFile);
}

qint64 cFTP::findFileSize(const QString &sFile, SizeMatch match)
{
    QList<Ftp::Entry> entries;
    if (!m_session.find(sizePattern(sFile), &entries)) {
        if (m_session.lastError() == InternetError::NoMoreFiles)
            return -1;
        RecordError(m_session.lastError(), QStringLiteral("FtpFindFirstFile"));
        return -2;
    }
    if (entries.isEmpty())
        return -1;
    // The pattern may match more than the file ("my?file" also finds "my_file"): the file of
    // exactly that name wins.
    const QString name = sFile.mid(sFile.lastIndexOf(QLatin1Char('/')) + 1);
    const auto exact = std::find_if(entries.cbegin(), entries.cend(), [&](const Ftp::Entry &entry) {
        return entry.name == name && (match == SizeMatch::ExactOrLookAlike || !entry.isDirectory);
    });
    if (exact != entries.cend())
        return exact->size;
    return match == SizeMatch::ExactOrLookAlike ? entries.first().size : -1;
}

// --- Web pages and their companion folders ---------------------------------------------------

std::optional<bool> cFTP::UploadPageFolder(const QString &sLocal, const QString &sRemote)
{
    if (!PageNames::isPage(sLocal))
        return std::nullopt;
    const QString localFolder = PageNames::localFolder(sLocal);
    const std::optional<Platform::FsoFolder> folder =
        Platform::FileSystemObject().GetFolder(localFolder);
    if (!folder)
        return std::nullopt;

    // An existing server folder is reused, so these results do not matter.
    const QString folderName = PageNames::uploadFolderName(localFolder);
    SetFTPDirectory(PageNames::serverParent(sRemote));
    CreateFTPDirectory(folderName);
    SetFTPDirectory(folderName);
    const QList<Platform::FsoFile> files = folder->Files();
    for (const Platform::FsoFile &file : files) {
        SetTransferBinary();
        if (!PageNames::staysBehind(file.Name()))
            FTPUploadFile(localFolder + Backslash + file.Name(), file.Name());
        // A cancel ends the whole page's upload, not only the file it came in.
        if (cancelRequested())
            return false;
    }
    SetTransferBinary();
    SetFTPDirectory(QStringLiteral(".."));

    // Only the copy's upload makes the page's upload a success. Without a copy the page does
    // not go up at all: its links would name the folder by a name the server does not have.
    const QString copy = MakePageCopy(sLocal);
    if (copy.isEmpty())
        return false;
    const bool uploaded = FTPUploadFile(copy, sRemote);
    Platform::FileSystemObject().DeleteFile(copy);
    return uploaded;
}

QString cFTP::MakePageCopy(const QString &sLocal)
{
    if (!PageNames::isPage(sLocal))
        return {};
    const QString oldName = PageNames::localFolderName(sLocal);
    const QString newName = PageNames::uploadFolderName(oldName);

    QFile source(Platform::DosPath::toLinux(sLocal));
    if (source.fileName().isEmpty() || !source.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return {};
    PageNames::rewriteFolderName(text, oldName, newName);

    const Platform::FileSystemObject fso;
    const QString copyPath = temporaryFolder() + fso.GetTempName();
    const std::unique_ptr<QFile> copy = fso.CreateTextFile(copyPath);
    if (!copy)
        return {};
    if (copy->write(text) != text.size() || !copy->flush()) {
        copy->close();
        fso.DeleteFile(copyPath);
        return {};
    }
    return copyPath;
}

bool cFTP::DeletePageFolder(const QString &sRemote)
{
    if (!PageNames::isPage(sRemote))
        return false;
    const QString folder = PageNames::serverFolder(sRemote);
    if (!SetFTPDirectory(folder))
        return false;
    GetDirectoryListing(QStringLiteral("*"));
    // Held here: deleting a page inside the folder replaces Directory.
    const std::shared_ptr<cDirList> entries = Directory();
    for (const cDirItem &entry : *entries)
        DeleteFTPFile(entry.Filename);
    SetFTPDirectory(QStringLiteral(".."));
    RemoveFTPDirectory(folder);
    GetDirectoryListing(QStringLiteral("*"));
    return true;
}

bool cFTP::DownloadPageFolder(const QString &sLocal, const QString &sRemote)
{
    if (!PageNames::isPage(sRemote))
        return false;
    const QString serverFolder = PageNames::serverFolder(sRemote);
    // The local folder takes the server folder's own name, also when the page was named by
    // a server path.
    const QString localFolder =
        sLocal.left(sLocal.lastIndexOf(Backslash) + 1) + PageNames::downloadFolderName(sRemote);
    if (!SetFTPDirectory(serverFolder))
        return true; // nothing to fetch

    GetDirectoryListing(QStringLiteral("*"));
    const Platform::FileSystemObject fso;
    if (!fso.FolderExists(localFolder))
        fso.CreateFolder(localFolder);
    const std::shared_ptr<cDirList> entries = Directory();
    for (const cDirItem &entry : *entries) {
        if (entry.Directory)
            continue; // a folder is no file to fetch
        // A server may name a file "..\..\x": such a name is never followed on this side.
        if (!Platform::DosPath::isPlainName(entry.Filename)) {
            Q_EMIT ServerNameRefused(entry.Filename);
            continue;
        }
        SetTransferBinary();
        FTPDownloadFile(localFolder + Backslash + entry.Filename, entry.Filename);
    }
    SetTransferASCII();
    SetFTPDirectory(QStringLiteral(".."));
    GetDirectoryListing(QStringLiteral("*"));
    return true;
}

// --- Secure forms ------------------------------------------------------------------------

bool cFTP::secureCommand(const QString &command)
{
    QString reply;
    return m_secureChannel.SFtpCmd(command, reply);
}

bool cFTP::secureTransfer(const QString &command)
{
    QString reply;
    qint64 shown = -1;
    // Asked after every block, and again while the library waits for the server: the message
    // loop runs and a cancel is seen there too, also while no byte moves.
    return m_secureChannel.SFtpTransfer(command, reply, [&](qint64 done, qint64 total) {
        pumpMessages();
        if (cancelRequested())
            return false;
        if (done != shown)
            reportProgress(done, total);
        shown = done;
        return true;
    });
}

QString cFTP::secureDirectory()
{
    QString reply;
    if (!m_secureChannel.SFtpCmd(QStringLiteral("pwd"), reply))
        return {};
    return SecureCommand::folderFromPwdReply(reply);
}

bool cFTP::secureSetDirectory(const QString &sDir)
{
    // The library's answer to "cd" is not trusted alone: where the session stands decides.
    const bool changed = secureCommand(SecureCommand::command(u"cd ", sDir));
    if (sDir.startsWith(QLatin1String("..")))
        return changed;
    const QString current = secureDirectory();
    if (!sDir.startsWith(QLatin1Char('/')))
        return current.endsWith(sDir);
    return current == sDir;
}

qint32 cFTP::secureFileSize(const QString &sFile)
{
    QString reply;
    if (!m_secureChannel.SFtpCmd(SecureCommand::command(u"dir ", sFile), reply))
        return -2;
    return SecureCommand::sizeFromDirReply(reply);
}

std::shared_ptr<cDirList> cFTP::secureListing(const QString &sFilter)
{
    QString reply;
    const bool listed = m_secureChannel.SFtpCmd(SecureCommand::command(u"dir ", sFilter), reply);
    m_directory = std::make_shared<cDirList>();
    if (!listed) {
        // The library's reply says why; the list stays empty, as the secure form's result
        // always is then.
        m_listingError = reply.isEmpty() ? CSFtp::StatusText() : reply;
        return m_directory;
    }
    CSFtp::ParseSecureListing(reply, *m_directory);
    return m_directory;
}
