#include "transport/cFTP.h"

#include "platform/DosPath.h"
#include "transport/ListingRecord.h"
#include "transport/LocalPath.h"
#include "transport/cDirList.h"

#include <QDir>

#include <algorithm>
#include <limits>

namespace {

// Progress travels in 32 bits; larger files report the largest value instead of wrapping.
qint32 progressValue(qint64 bytes)
{
    return qint32(std::min<qint64>(bytes, std::numeric_limits<qint32>::max()));
}

} // namespace

cFTP::cFTP(QObject *parent)
    : QObject(parent)
    , m_plain(*this, *this)
    , m_secureChannel(*this)
{}

cFTP::~cFTP() = default;

void cFTP::setSecure(bool vData)
{
    m_secure = vData;
    m_channel = vData ? static_cast<ServerChannel *>(&m_secureChannel) : &m_plain;
}

std::shared_ptr<cDirList> cFTP::Directory()
{
    if (!m_directory)
        m_directory = std::make_shared<cDirList>();
    return m_directory;
}

QString cFTP::failureReason() const
{
    return m_lastErrorText.isEmpty() ? m_channel->failureText() : m_lastErrorText;
}

bool cFTP::OpenConnection(const QString &sServer, const QString &sUser, const QString &sPassword,
                          const std::function<bool()> &stopRequested)
{
    ++m_connections;
    const std::function<bool()> stopped = [&stopRequested] {
        return stopRequested && stopRequested();
    };
    const std::optional<ServerChannel::ConnectFailure> failure =
        m_channel->open(sServer, sUser, sPassword, stopped);
    m_loginRefused = failure && failure->loginRefused;
    m_connectStopped = failure && stopped();
    m_connectFailureReason = failure ? failure->reason : QString();
    return !failure;
}

void cFTP::CloseConnection()
{
    m_channel->close();
}

bool cFTP::SimpleFTPPutFile(const QString &sLocal, const QString &sRemote)
{
    return m_plain.putFile(LocalPath(sLocal), sRemote);
}

bool cFTP::SimpleFTPGetFile(const QString &sLocal, const QString &sRemote)
{
    return m_plain.getFile(LocalPath(sLocal), sRemote);
}

bool cFTP::RenameFTPFile(const QString &sExisting, const QString &sNewName)
{
    return m_channel->rename(sExisting, sNewName);
}

bool cFTP::CreateFTPDirectory(const QString &sDirectory)
{
    return m_channel->makeFolder(sDirectory);
}

bool cFTP::RemoveFTPDirectory(const QString &sDirectory)
{
    return m_channel->removeFolder(sDirectory);
}

bool cFTP::DeleteFTPFile(const QString &sRemote)
{
    return m_channel->deleteFile(sRemote);
}

bool cFTP::FTPUploadFile(const QString &sLocal, const QString &sRemote, Resume resume)
{
    return m_channel->upload(LocalPath(sLocal), sRemote, resume);
}

bool cFTP::FTPDownloadFile(const QString &sLocal, const QString &sRemote, Resume resume)
{
    return m_channel->download(LocalPath(sLocal), sRemote, resume);
}

QString cFTP::GetFTPDirectory()
{
    return m_channel->currentFolder().value_or(QString());
}

bool cFTP::SetFTPDirectory(const QString &sDir)
{
    return m_channel->setCurrentFolder(sDir, ServerChannel::FolderMatch::ExactPath);
}

bool cFTP::enterFolderThroughLinks(const QString &folder)
{
    return m_channel->setCurrentFolder(folder, ServerChannel::FolderMatch::AnyPath);
}

qint32 cFTP::GetFTPFileSize(const QString &sFile)
{
    const qint64 size = m_channel->fileSize(sFile, ServerChannel::SizeMatch::ExactOrLookAlike);
    return size < 0 ? qint32(size) : ListingRecord::fileSize(size);
}

qint64 cFTP::exactFileSize(const QString &file)
{
    return m_channel->fileSize(file, ServerChannel::SizeMatch::ExactFile);
}

std::optional<bool> cFTP::FTPFileExists(const QString &sFile)
{
    return m_channel->fileExists(sFile);
}

std::shared_ptr<cDirList> cFTP::GetDirectoryListing(const QString &sFilter)
{
    m_directory.reset();
    // The records are made as the listing arrives: it is never held whole.
    auto list = std::make_shared<cDirList>();
    const bool listed = ListEntries(sFilter, [this, &list](Ftp::Entry &&entry) {
        const double date = m_channel->recordDate(entry.modified);
        list->Add(entry.isDirectory ? ListingRecord::DirectoryAttributes
                                    : ListingRecord::NormalAttributes,
                  date, date, date, ListingRecord::fileSize(entry.size), entry.name);
    });
    if (!listed)
        return nullptr;
    m_directory = std::move(list);
    return m_directory;
}

bool cFTP::ListEntries(const QString &filter, const std::function<void(Ftp::Entry &&entry)> &take)
{
    const ServerChannel::ListingEnd end = m_channel->list(filter, take);
    m_listingError = end.failure;
    return end.listed;
}

void cFTP::SetTransferASCII()
{
    // Deliberately binary as well: an ASCII transfer changes the byte count, while a block
    // download reads exactly the size the server listed, so ASCII would cut pages short.
    m_plain.setTransferType(Ftp::TransferType::Binary);
}

void cFTP::SetTransferBinary()
{
    m_plain.setTransferType(Ftp::TransferType::Binary);
}

void cFTP::SetModeActive()
{
    m_plain.setPassive(false);
}

void cFTP::SetModePassive()
{
    m_plain.setPassive(true);
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

bool cFTP::connectGoesOn()
{
    if (m_hooks.secureConnectGoesOn)
        return m_hooks.secureConnectGoesOn();
    // A cancel ends the connect without another turn of the loop.
    if (cancelRequested())
        return false;
    pumpMessages();
    return !cancelRequested();
}

void cFTP::reportProgress(qint64 done, qint64 total)
{
    Q_EMIT FileTransferProgress(progressValue(done), progressValue(total));
    Q_EMIT TransferProgress(done, total);
}

void cFTP::reportResumed(qint64 at, qint64 total)
{
    Q_EMIT TransferResumed(at, total);
}

void cFTP::recordErrorText(const QString &text)
{
    m_lastErrorText = text;
}

void cFTP::serverNameRefused(const QString &name)
{
    Q_EMIT ServerNameRefused(name);
}

void cFTP::localFileRefused(const QString &dosPath)
{
    Q_EMIT LocalFileRefused(dosPath);
}

QString cFTP::temporaryFolder() const
{
    if (!m_temporaryFolder.isEmpty())
        return m_temporaryFolder;
    return Platform::DosPath::withSeparator(Platform::DosPath::toDos(QDir::tempPath()));
}
