#include "securelib/CommandSession.h"

#include "securelib/TransferTally.h"

#include "platform/DosPath.h"
#include "platform/ReplacingFile.h"
#include "platform/UploadSource.h"
#include "transport/NameCodec.h"
#include "transport/PageNames.h"
#include "transport/Resume.h"
#include "transport/Wildcard.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QLatin1Char Slash('/');

QString decoded(const QByteArray &name)
{
    return Ftp::NameCodec::decode(name);
}

// The last component of a local or server name, whichever separator it uses.
QString lastComponent(const QString &name)
{
    const qsizetype separator =
        std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(Slash));
    return name.mid(separator + 1);
}

// One line of a listing: name, size, seconds since 1970 UTC and type, separated by "|".
QByteArray listingLine(const RemoteEntry &entry)
{
    return entry.name + '|' + QByteArray::number(entry.size) + '|' +
           QByteArray::number(entry.modified) + '|' + entry.type + "\r\n";
}

// Whether a name can stand in a listing line without being misread: a "|" would shift the
// fields after it, a line break would end the line early, and a NUL would end the whole reply.
bool fitsListingLine(const QByteArray &name)
{
    return !name.contains('|') && !name.contains('\r') && !name.contains('\n') &&
           !name.contains('\0');
}

QString quotedNames(const QStringList &names)
{
    return QLatin1Char('"') + names.join(QLatin1String("\", \"")) + QLatin1Char('"');
}

// The arguments of a command when it has `least` to `most` of them, none of them empty.
std::optional<QStringList> namesOf(const CommandText &command, qsizetype least, qsizetype most)
{
    const std::optional<QStringList> names = command.arguments();
    if (!names || names->size() < least || names->size() > most || names->contains(QString()))
        return std::nullopt;
    return names;
}

std::optional<QString> singleName(const CommandText &command)
{
    const std::optional<QStringList> names = namesOf(command, 1, 1);
    return names ? std::optional(names->first()) : std::nullopt;
}

// The last change of a local file that a put may continue, in seconds since 1970 UTC.
std::optional<qint64> changeOf(const QString &localFile, bool resume)
{
    return resume ? std::optional(Platform::UploadSource::lastChange(QFileInfo(localFile)))
                  : std::nullopt;
}

} // namespace

CommandSession::CommandSession(std::unique_ptr<SshConnection> connection)
    : m_connection(std::move(connection))
    , m_files(*m_connection)
{}

CommandSession::~CommandSession()
{
    close();
}

bool CommandSession::start(QString *why)
{
    const std::optional<QByteArray> home = m_files.canonicalPath(".");
    if (!home) {
        *why = QStringLiteral("The login folder cannot be found: %1").arg(m_files.error());
        return false;
    }
    m_folder = *home;
    m_rawNames.rememberPath(m_folder);
    return true;
}

void CommandSession::close()
{
    if (!m_connection)
        return;
    if (m_files.lost())
        m_connection->drop();
    else
        m_connection->close();
}

CommandSession::Reply CommandSession::success(const QString &what)
{
    return {true, what.toUtf8()};
}

QString CommandSession::errorText() const
{
    return m_localError.isEmpty() ? m_files.error() : m_localError;
}

CommandSession::Reply CommandSession::failure(const QString &what) const
{
    return {false, what.toUtf8()};
}

CommandSession::Reply CommandSession::run(const CommandText &command, TransferTally &tally)
{
    m_localError.clear();
    const QString verb = command.verb();
    if (!command.arguments())
        return failure(QStringLiteral("%1: the names cannot be read one way only: write each in "
                                      "double quotes, and a double quote inside it twice")
                           .arg(verb));
    if (verb == QLatin1String("cd"))
        return changeFolder(command);
    if (verb == QLatin1String("pwd"))
        return success(QStringLiteral("Remote directory is ") + decoded(m_folder));
    if (verb == QLatin1String("dir"))
        return listing(command);
    if (verb == QLatin1String("mkdir"))
        return makeFolder(command);
    if (verb == QLatin1String("rmdir"))
        return removeFolder(command);
    if (verb == QLatin1String("del"))
        return deleteFile(command);
    if (verb == QLatin1String("ren"))
        return rename(command);
    if (verb == QLatin1String("put"))
        return upload(command, tally);
    if (verb == QLatin1String("get"))
        return download(command, tally);
    return failure(QStringLiteral("Unknown command: %1").arg(verb));
}

QByteArray CommandSession::remotePath(const QString &name) const
{
    const QString path = name.startsWith(Slash) ? name : decoded(m_folder) + Slash + name;
    return m_rawNames.encode(QDir::cleanPath(path));
}

QString CommandSession::localPath(const QString &name)
{
    return Platform::DosPath::isAbsolute(name) ? Platform::DosPath::toLinux(name) : name;
}

CommandSession::Reply CommandSession::changeFolder(const CommandText &command)
{
    const std::optional<QString> name = singleName(command);
    if (!name)
        return failure(QStringLiteral("cd: a folder name is needed"));
    const std::optional<QByteArray> folder = m_files.canonicalPath(remotePath(*name));
    if (!folder)
        return failure(QStringLiteral("cd: %1: %2").arg(*name, errorText()));
    const std::optional<RemoteEntry> entry = m_files.entry(*folder);
    if (!entry || !entry->folder)
        return failure(QStringLiteral("cd: %1: %2")
                           .arg(*name, entry ? QStringLiteral("Not a folder") : errorText()));
    m_folder = *folder;
    m_rawNames.rememberPath(m_folder);
    return success(QStringLiteral("Remote directory is now ") + decoded(m_folder));
}

CommandSession::Reply CommandSession::listing(const CommandText &command)
{
    const QStringList names = *command.arguments();
    if (names.size() > 1)
        return failure(QStringLiteral("dir: one name or pattern, or none"));
    const QString pattern = names.value(0).isEmpty() ? QStringLiteral("*") : names.first();
    const Ftp::Wildcard::Search search = Ftp::Wildcard::split(pattern);

    std::optional<QList<RemoteEntry>> entries;
    if (Ftp::Wildcard::hasWildcards(search.names)) {
        entries = m_files.list(remotePath(search.folder));
        if (entries) {
            entries->removeIf([&](const RemoteEntry &entry) {
                return !Ftp::Wildcard::matches(search.names, decoded(entry.name));
            });
        }
    } else if (const std::optional<RemoteEntry> entry = m_files.entry(remotePath(pattern))) {
        entries = entry->folder ? m_files.list(remotePath(pattern))
                                : std::optional(QList<RemoteEntry>{*entry});
    } else if (m_files.notFound()) {
        entries = QList<RemoteEntry>(); // a name that matches nothing, as a pattern may
    }
    // The reply names no file: a name that holds "|" would read as a listing line.
    if (!entries)
        return failure(m_files.error());

    std::sort(entries->begin(), entries->end(),
              [](const RemoteEntry &a, const RemoteEntry &b) { return a.name < b.name; });
    QByteArray lines;
    for (const RemoteEntry &entry : *entries) {
        m_rawNames.remember(entry.name);
        if (fitsListingLine(entry.name))
            lines += listingLine(entry);
    }
    return {true, lines};
}

CommandSession::Reply CommandSession::makeFolder(const CommandText &command)
{
    const std::optional<QString> name = singleName(command);
    if (!name)
        return failure(QStringLiteral("mkdir: a folder name is needed"));
    if (!m_files.makeFolder(remotePath(*name)))
        return failure(QStringLiteral("mkdir: %1: %2").arg(*name, errorText()));
    return success(QStringLiteral("Created folder %1").arg(*name));
}

CommandSession::Reply CommandSession::removeFolder(const CommandText &command)
{
    const std::optional<QString> name = singleName(command);
    if (!name)
        return failure(QStringLiteral("rmdir: a folder name is needed"));
    if (!m_files.removeFolder(remotePath(*name)))
        return failure(QStringLiteral("rmdir: %1: %2").arg(*name, errorText()));
    return success(QStringLiteral("Removed folder %1").arg(*name));
}

CommandSession::Reply CommandSession::deleteFile(const CommandText &command)
{
    const std::optional<QString> name = singleName(command);
    if (!name)
        return failure(QStringLiteral("del: a file name is needed"));
    const QByteArray path = remotePath(*name);
    if (!m_files.removeFile(path))
        return failure(QStringLiteral("del: %1: %2").arg(*name, errorText()));
    if (command.hasFlag(u"-h"))
        deletePageFolder(path);
    return success(QStringLiteral("Deleted %1").arg(*name));
}

CommandSession::Reply CommandSession::rename(const CommandText &command)
{
    const std::optional<QStringList> names = namesOf(command, 2, 2);
    if (!names)
        return failure(QStringLiteral("ren: two names are needed, the existing one first"));
    if (!m_files.rename(remotePath(names->at(0)), remotePath(names->at(1))))
        return failure(QStringLiteral("ren: %1: %2").arg(names->at(0), errorText()));
    return success(QStringLiteral("Renamed %1 to %2").arg(names->at(0), names->at(1)));
}

CommandSession::Reply CommandSession::upload(const CommandText &command, TransferTally &tally)
{
    const std::optional<QStringList> names = namesOf(command, 1, 2);
    if (!names)
        return failure(QStringLiteral("put: a local file name is needed, and at most a server "
                                      "name after it"));
    const QString local = localPath(names->first());
    const QFileInfo localInfo(local);
    // A pipe or a character device goes up as its bytes come, until its end.
    const Platform::UploadSource::Kind kind = Platform::UploadSource::of(local);
    if (kind == Platform::UploadSource::Kind::Missing)
        return failure(QStringLiteral("put: %1: no such local file").arg(names->first()));
    if (const QString refused = Platform::UploadSource::refusedKind(kind); !refused.isEmpty())
        return failure(QStringLiteral("put: %1 is %2: put reads files, pipes and character "
                                      "devices")
                           .arg(names->first(), refused));
    const bool stream = kind == Platform::UploadSource::Kind::Stream;
    const QString remoteName = names->size() == 2 ? names->at(1) : lastComponent(names->first());
    const QByteArray remote = remotePath(remoteName);

    const std::optional<RemoteEntry> present = m_files.entry(remote);
    if (m_files.lost())
        return failure(QStringLiteral("put: %1: %2").arg(remoteName, errorText()));
    if (command.hasFlag(u"-u") && !stream && present && !present->folder &&
        present->modified >= localInfo.lastModified().toSecsSinceEpoch())
        return success(
            QStringLiteral("Skipped %1: the server's copy is not older").arg(remoteName));
    // A stream has no companion folder beside it, nor a change to continue from.
    const bool resume = command.hasFlag(u"-c") && !stream;
    const bool sent = command.hasFlag(u"-h") && !stream
                          ? sendPage(local, remote, present, resume, tally)
                          : sendFile(local, remote, present, resume, tally);
    if (!sent)
        return failure(QStringLiteral("put: %1: %2").arg(remoteName, errorText()));
    tally.complete();
    const qint64 bytes = stream ? tally.currentDone() : localInfo.size();
    return success(QStringLiteral("Uploaded %1 to %2 (%3 bytes)")
                       .arg(names->first(), decoded(remote), QString::number(bytes)));
}

CommandSession::Reply CommandSession::download(const CommandText &command, TransferTally &tally)
{
    const std::optional<QStringList> names = namesOf(command, 1, 2);
    if (!names)
        return failure(QStringLiteral("get: a server file name is needed, and at most a local "
                                      "name after it"));
    const QByteArray remote = remotePath(names->first());
    // Without a local name the file takes its server name, which must suit a local file.
    const QString ownName = lastComponent(names->first());
    const QString local = names->size() == 2                        ? localPath(names->at(1))
                          : Platform::DosPath::isPlainName(ownName) ? ownName
                                                                    : QString();
    if (local.isEmpty() || QFileInfo(local).isDir())
        return failure(QStringLiteral("get: no local file can be made of that name"));
    const std::optional<QList<RemoteEntry>> companions =
        command.hasFlag(u"-h") ? planPageDownload(remote, tally) : std::nullopt;
    const bool resume = command.hasFlag(u"-c");
    if (!fetchFile(remote, local, resume, tally))
        return failure(QStringLiteral("get: %1: %2").arg(names->first(), errorText()));
    // The bytes that came, not the local file's size: a device or a pipe tells none, and
    // /dev/stdout going to a file tells all that file holds.
    QString done = QStringLiteral("Downloaded %1 to %2 (%3 bytes)")
                       .arg(decoded(remote), local, QString::number(tally.currentDone()));
    if (companions) {
        const QStringList skipped = fetchPageFolder(remote, local, *companions, resume, tally);
        // The page has come, but not all that it shows.
        if (m_files.cancelled())
            return failure(QStringLiteral("get: %1: %2").arg(names->first(), errorText()));
        if (!skipped.isEmpty())
            done += QStringLiteral("; skipped, as no local file can be named so: ") +
                    quotedNames(skipped);
    }
    tally.complete();
    return success(done);
}

bool CommandSession::sendFile(const QString &localFile, const QByteArray &remoteFile,
                              const std::optional<RemoteEntry> &present, bool resume,
                              TransferTally &tally)
{
    QFile source(localFile);
    // Unbuffered, and a pipe without waiting for its writer: a stream is read from its handle
    // (see UploadSource::readSome).
    if (!Platform::UploadSource::open(source)) {
        m_localError = QStringLiteral("the local file cannot be read: ") + source.errorString();
        return false;
    }
    return m_files.upload(source, remoteFile, present, changeOf(localFile, resume), tally);
}

bool CommandSession::sendPage(const QString &localPage, const QByteArray &remotePage,
                              const std::optional<RemoteEntry> &present, bool resume,
                              TransferTally &tally)
{
    const QString localName = PageNames::localFolderName(localPage);
    const QString serverName = PageNames::uploadFolderName(localName);
    const QDir localFolder(PageNames::localFolder(localPage));
    if (!localFolder.exists())
        return sendFile(localPage, remotePage, present, resume, tally);
    const std::unique_ptr<QIODevice> page = pageSource(localPage, localName, serverName);
    if (!page)
        return false;
    QStringList files = localFolder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    files.removeIf(PageNames::staysBehind);
    qint64 whole = page->size();
    for (const QString &file : std::as_const(files))
        whole += QFileInfo(localFolder.filePath(file)).size();
    tally.plan(whole);

    // An existing server folder is reused; a file that does not go up is not the page's
    // failure, as with the plain channel. A cancel ends the whole page's upload.
    const QByteArray serverFolder =
        Ftp::NameCodec::encode(PageNames::serverParent(decoded(remotePage))) + '/' +
        Ftp::NameCodec::encode(serverName);
    m_files.makeFolder(serverFolder);
    for (const QString &file : std::as_const(files)) {
        if (m_files.lost())
            return false;
        const QByteArray remoteFile = serverFolder + '/' + Ftp::NameCodec::encode(file);
        sendFile(localFolder.filePath(file), remoteFile, m_files.entry(remoteFile), resume, tally);
        if (m_files.cancelled())
            return false;
    }
    return !m_files.lost() &&
           m_files.upload(*page, remotePage, present, changeOf(localPage, resume), tally);
}

std::unique_ptr<QIODevice> CommandSession::pageSource(const QString &localPage,
                                                      const QString &localName,
                                                      const QString &serverName)
{
    auto source = std::make_unique<QFile>(localPage);
    if (!source->open(QIODevice::ReadOnly)) {
        m_localError = QStringLiteral("the local file cannot be read: ") + source->errorString();
        return nullptr;
    }
    if (serverName == localName)
        return source;
    // A page is a small text: the copy is made in memory.
    QByteArray text = source->readAll();
    PageNames::rewriteFolderName(text, localName, serverName);
    auto copy = std::make_unique<QBuffer>();
    copy->setData(text);
    copy->open(QIODevice::ReadOnly);
    return copy;
}

bool CommandSession::fetchFile(const QByteArray &remoteFile, const QString &localFile, bool resume,
                               TransferTally &tally)
{
    // A target that takes no download (a socket, a block device) costs the server nothing.
    if (const std::optional<QString> refusal = Platform::ReplacingFile::refusalFor(localFile)) {
        m_localError = QStringLiteral("the local file cannot be written: ") + *refusal;
        return false;
    }
    // The local file is replaced only by a whole download, and a link of its name is replaced,
    // not written through; a device or a pipe is written into. A large file goes to a partial
    // that stays when the download is cut.
    std::unique_ptr<Platform::ReplacingFile> target;
    const auto cannotWrite = [&] {
        m_localError = QStringLiteral("the local file cannot be written: ") + target->errorString();
        return RemoteFiles::DownloadTarget();
    };
    const auto targetFor = [&](const RemoteEntry &file, bool again) {
        if (again)
            return target->startOver() ? RemoteFiles::DownloadTarget{target.get(), 0}
                                       : cannotWrite();
        // Without a date from the server a changed file of the same size could not be told
        // from the one a partial began with: such a file keeps no partial.
        target =
            file.size >= ResumeThreshold && file.modified > 0
                ? std::make_unique<Platform::ReplacingFile>(localFile, originOf(remoteFile, file))
                : std::make_unique<Platform::ReplacingFile>(localFile);
        // Unbuffered, so that a write error is seen where it happens.
        if (!target->open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            (!resume && target->resumedAt() > 0 && !target->startOver()))
            return cannotWrite();
        return RemoteFiles::DownloadTarget{target.get(), target->resumedAt()};
    };
    if (!m_files.download(remoteFile, targetFor, tally)) {
        // Only what a cut or cancel stopped is worth continuing; a full disk is not kept full.
        if (target && !m_files.lost() && !m_files.cancelled())
            target->discard();
        return false;
    }
    if (!target->commit()) {
        m_localError = QStringLiteral("the local file cannot be written: ") + target->errorString();
        return false;
    }
    return true;
}

QByteArray CommandSession::originOf(const QByteArray &remoteFile, const RemoteEntry &file) const
{
    return m_connection->location().toUtf8() + remoteFile + '\n' + QByteArray::number(file.size) +
           '\n' + QByteArray::number(file.modified);
}

std::optional<QList<RemoteEntry>> CommandSession::planPageDownload(const QByteArray &remotePage,
                                                                   TransferTally &tally)
{
    std::optional<QList<RemoteEntry>> entries =
        m_files.list(Ftp::NameCodec::encode(PageNames::serverFolder(decoded(remotePage))));
    if (!entries)
        return std::nullopt; // the page comes alone, and tells its size itself
    const std::optional<RemoteEntry> page = m_files.entry(remotePage);
    qint64 whole = page ? page->size : 0;
    for (const RemoteEntry &entry : std::as_const(*entries)) {
        if (!entry.folder && Platform::DosPath::isPlainName(decoded(entry.name)))
            whole += entry.size;
    }
    tally.plan(whole);
    return entries;
}

QStringList CommandSession::fetchPageFolder(const QByteArray &remotePage, const QString &localPage,
                                            const QList<RemoteEntry> &entries, bool resume,
                                            TransferTally &tally)
{
    const QString serverFolder = PageNames::serverFolder(decoded(remotePage));
    // The folder's own name is the last component of the page's name, without separators.
    const QDir localFolder(QFileInfo(localPage).path() + Slash +
                           PageNames::downloadFolderName(decoded(remotePage)));
    if (!localFolder.mkpath(QStringLiteral(".")))
        return {};
    QStringList skipped;
    for (const RemoteEntry &entry : entries) {
        if (m_files.lost() || m_files.cancelled())
            break;
        const QString name = decoded(entry.name);
        if (!Platform::DosPath::isPlainName(name))
            skipped << name;
        else if (!entry.folder)
            fetchFile(Ftp::NameCodec::encode(serverFolder) + '/' + entry.name,
                      localFolder.filePath(name), resume, tally);
    }
    return skipped;
}

void CommandSession::deletePageFolder(const QByteArray &remotePage)
{
    const QByteArray serverFolder =
        Ftp::NameCodec::encode(PageNames::serverFolder(decoded(remotePage)));
    const std::optional<QList<RemoteEntry>> entries = m_files.list(serverFolder);
    if (!entries)
        return;
    for (const RemoteEntry &entry : *entries) {
        if (!entry.folder && !m_files.lost())
            m_files.removeFile(serverFolder + '/' + entry.name);
    }
    if (!m_files.lost())
        m_files.removeFolder(serverFolder);
}
