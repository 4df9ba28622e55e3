#include "platform/ReplacingFile.h"

#include "platform/PartialName.h"
#include "platform/RegularFile.h"
#include "platform/UnfinishedFiles.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// Random names make a clash unlikely; the exclusive create makes one harmless.
constexpr int NameAttempts = 16;

// Hidden, short enough beside any name, and unlike any name a user would give a file.
QString temporaryName()
{
    return QStringLiteral(".vellix-%1.part")
        .arg(QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0'));
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Opens a file of the folder itself: a link of that name is refused, not followed.
int openNotFollowing(const QString &path, int flags)
{
    return ::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// /dev/stdout, /dev/stderr, /dev/fd/N: names of the program's own open files, which a
// download goes into as any program's output would, and which are never replaced.
bool isDescriptorAlias(const QString &path)
{
    static const QRegularExpression descriptors(
        QStringLiteral("^/proc/(self|thread-self|\\d+)/fd$"));
    const QString folder = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    const QString target = QFileInfo(QFile::symLinkTarget(path)).absolutePath();
    return descriptors.match(folder).hasMatch() || descriptors.match(target).hasMatch();
}

// The permissions a new version takes from the file it replaces: the file's own bits. The *User
// flags tell what this process may do, which for root is everything: a read-only file's new
// version would come out writable.
QFile::Permissions ownPermissions(const QFileInfo &file)
{
    return file.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

QString noRegularFile(const QString &path)
{
    return QStringLiteral("The partial file %1 is no regular file.").arg(path);
}

// Whether a regular file is the user's own under this one name: another user's file, or a
// second name of a file elsewhere, may have been put there for the download to fill and to hand
// over as its own.
bool ownedHere(const struct stat &status)
{
    return status.st_uid == ::geteuid() && status.st_nlink == 1;
}

// Opens a partial or its note, which only a regular file may be (see openRegularFile), and a
// link of that name is refused, not followed. A file that is not the user's own there is never
// written into: opened to be written (O_CREAT), it is replaced by a new file, which also serves
// file systems that show every file as another user's; opened to be read, it counts as none.
// -1 when it cannot be opened; why says why.
int openRegular(const QString &path, int flags, QString *why = nullptr)
{
    int fd = openRegularFile(path, flags | O_NOFOLLOW);
    struct stat status = {};
    QString refusal;
    if (fd >= 0 && ::fstat(fd, &status) == 0 && !ownedHere(status)) {
        ::close(fd);
        fd = -1;
        if (!(flags & O_CREAT) || ::unlink(QFile::encodeName(path).constData()) != 0)
            refusal = QStringLiteral("The partial file %1 is not this user's own.").arg(path);
        else
            fd = openRegularFile(path, flags | O_NOFOLLOW | O_EXCL);
    }
    if (fd >= 0)
        return fd;
    // errno 0: something else than a regular file stands there.
    if (refusal.isEmpty() && errno == 0)
        refusal = noRegularFile(path);
    if (why)
        *why = refusal.isEmpty() ? systemError() : refusal;
    return -1;
}

// What a kept partial's note says it is a copy of; empty without a note.
QByteArray readNote(const QString &path)
{
    // An origin is a line or a few: anything longer is no note of ours.
    constexpr qint64 Longest = 4096;
    const int fd = openRegular(path, O_RDONLY);
    if (fd < 0)
        return {};
    QByteArray note(Longest, '\0');
    const ssize_t read = ::read(fd, note.data(), size_t(note.size()));
    ::close(fd);
    note.truncate(read > 0 ? qsizetype(read) : 0);
    return note;
}

// Empty when the note was written, else why not.
QString writeNote(const QString &path, const QByteArray &origin)
{
    QString why;
    // Emptied only once it is known to be the user's own file.
    const int fd = openRegular(path, O_WRONLY | O_CREAT, &why);
    if (fd < 0)
        return why;
    const bool written = ::ftruncate(fd, 0) == 0 &&
                         ::write(fd, origin.constData(), size_t(origin.size())) == origin.size();
    if (::close(fd) != 0 || !written)
        return systemError();
    return {};
}

} // namespace

ReplacingFile::ReplacingFile(const QString &path)
    : m_target(path)
{}

ReplacingFile::ReplacingFile(const QString &path, QByteArray origin)
    : m_target(path)
    , m_origin(std::move(origin))
    , m_resumable(true)
{}

ReplacingFile::~ReplacingFile()
{
    // A partial that nothing arrived in has nothing for the next attempt to continue.
    if (!m_resumable || (isOpen() && size() == 0)) {
        discard();
        return;
    }
    // What arrived is kept for the next attempt.
    QFile::close();
}

bool ReplacingFile::open(OpenMode mode)
{
    if (isOpen() || m_target.isEmpty() || !(mode & WriteOnly) || (mode & (ReadOnly | Append))) {
        setErrorString(QStringLiteral("The file can only be opened once, to be written anew."));
        return false;
    }
    switch (kindOf(m_target)) {
    case TargetKind::Replaced:
        return m_resumable ? openResumable(mode) : openPlain(mode);
    case TargetKind::WrittenInto:
        return openDirect(mode);
    case TargetKind::Refused:
        break;
    }
    setErrorString(*refusalFor(m_target));
    return false;
}

ReplacingFile::TargetKind ReplacingFile::kindOf(const QString &path)
{
    // The name itself, a link not followed: a link is replaced like a file.
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return TargetKind::Replaced;
    if (S_ISLNK(status.st_mode))
        return isDescriptorAlias(path) ? TargetKind::WrittenInto : TargetKind::Replaced;
    if (S_ISREG(status.st_mode))
        return TargetKind::Replaced;
    if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))
        return TargetKind::WrittenInto;
    return TargetKind::Refused;
}

std::optional<QString> ReplacingFile::refusalFor(const QString &path)
{
    // What kindOf refuses, each kind in its own words.
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("It is a folder.");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("It is a socket, which takes no file.");
    if (S_ISBLK(status.st_mode))
        return QStringLiteral("It is a block device, which a download never writes over.");
    return std::nullopt;
}

bool ReplacingFile::openDirect(OpenMode mode)
{
    // A pipe nobody reads from would hold the open for ever: it is refused at once instead.
    // The name of an open file of the program's is followed to it, and what the program wrote
    // there before stays (a standard output that goes to a file).
    const QByteArray name = QFile::encodeName(m_target);
    const int fd = isDescriptorAlias(m_target)
                       ? ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_APPEND | O_CLOEXEC)
                       : openNotFollowing(m_target, O_WRONLY | O_NONBLOCK);
    if (fd < 0) {
        setErrorString(errno == ENXIO ? QStringLiteral("No program reads from the pipe.")
                                      : systemError());
        return false;
    }
    // Writes wait for a slow reader as they would for a slow disk.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    setFileName(m_target);
    if (!QFile::open(fd, mode, AutoCloseHandle)) {
        const QString why = errorString();
        ::close(fd);
        setErrorString(why);
        return false;
    }
    m_direct = true;
    return true;
}

bool ReplacingFile::openPlain(OpenMode mode)
{
    const QFileInfo target(m_target);
    const QString folder = target.absolutePath() + u'/';
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QString candidate = folder + temporaryName();
        setFileName(candidate);
        if (QFile::open(mode | NewOnly)) {
            m_temporary = candidate;
            UnfinishedFiles::add(m_temporary);
            if (target.isFile() && !target.isSymLink())
                setPermissions(ownPermissions(target));
            return true;
        }
        if (!QFileInfo(candidate).isSymLink() && !QFileInfo::exists(candidate))
            break; // not a clash: the folder refuses new files
    }
    const QString why = errorString();
    setFileName(QString());
    setErrorString(why);
    return false;
}

bool ReplacingFile::openResumable(OpenMode mode)
{
    const QString partial = PartialName::pathFor(m_target);
    // Appending: a continued partial grows from its end, and one emptied by startOver from
    // its start.
    QString why;
    const int fd = openRegular(partial, O_WRONLY | O_CREAT | O_APPEND, &why);
    if (fd < 0)
        return fail(why);
    struct stat status = {};
    ::fstat(fd, &status);
    // Two writers of one partial would mix their bytes: the second is refused.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return fail(QStringLiteral("Another transfer is writing this file."));
    }
    const QString note = PartialName::originPathFor(m_target);
    m_resumedAt = readNote(note) == m_origin ? qint64(status.st_size) : 0;
    // The partial is emptied before its note says what it is a copy of: a cut between the
    // two leaves an empty partial, which continues from the first byte.
    if (m_resumedAt == 0) {
        why = ::ftruncate(fd, 0) == 0 ? writeNote(note, m_origin) : systemError();
        if (!why.isEmpty()) {
            ::close(fd);
            return fail(why);
        }
    }
    setFileName(partial);
    if (!QFile::open(fd, mode | Append, AutoCloseHandle)) {
        const QString why = errorString();
        ::close(fd);
        return fail(why);
    }
    m_temporary = partial;
    // The partial stays writable for its owner while it grows, so that a cut copy of a read-only
    // file can be opened again and continued; it takes the file's permissions once whole.
    const QFileInfo target(m_target);
    if (m_resumedAt == 0 && target.isFile() && !target.isSymLink())
        setPermissions(ownPermissions(target) | WriteOwner);
    return true;
}

bool ReplacingFile::startOver()
{
    if (!isOpen() || !resize(0))
        return false;
    m_resumedAt = 0;
    return true;
}

bool ReplacingFile::commit()
{
    if (m_direct && isOpen()) {
        const bool written = flush() && error() == NoError;
        const QString why = errorString();
        QFile::close();
        if (!written)
            setErrorString(why);
        return written && error() == NoError;
    }
    if (m_temporary.isEmpty() || !isOpen())
        return false;
    // What the disk refused on the way (it is full, the file too large) is told now, before
    // anything is replaced.
    if (!flush() || error() != NoError)
        return fail(errorString());
    // Where the new version replaces a file, it is on the disk before the old one goes: a
    // crash just after the rename must not leave the user with neither. A new name has no
    // old copy to protect, and skips the wait for the disk.
    const QFileInfo target(m_target);
    const bool replacesFile = target.isFile() && !target.isSymLink();
    if (m_resumable && replacesFile)
        setPermissions(ownPermissions(target));
    if (replacesFile && ::fsync(handle()) != 0)
        return fail(systemError());
    QFile::close();
    if (error() != NoError)
        return fail(errorString());
    // rename() replaces the name's own entry: a link there is replaced, not followed.
    if (std::rename(QFile::encodeName(m_temporary).constData(),
                    QFile::encodeName(m_target).constData()) != 0)
        return fail(systemError());
    UnfinishedFiles::drop(m_temporary);
    m_temporary.clear();
    // A kept partial is the new version's own, now whole, or one that the new version makes
    // useless: neither is left behind.
    removeKeptPartial();
    return true;
}

void ReplacingFile::close()
{
    discard();
}

bool ReplacingFile::fail(const QString &why)
{
    // A partial that is not this file's own stays for its writer.
    if (!m_temporary.isEmpty())
        discard();
    setErrorString(why);
    return false;
}

void ReplacingFile::discard()
{
    QFile::close();
    if (m_temporary.isEmpty())
        return;
    QFile::remove(m_temporary);
    UnfinishedFiles::drop(m_temporary);
    if (m_resumable)
        QFile::remove(PartialName::originPathFor(m_target));
    m_temporary.clear();
}

void ReplacingFile::removeKeptPartial()
{
    QFile::remove(PartialName::pathFor(m_target));
    QFile::remove(PartialName::originPathFor(m_target));
}

} // namespace Platform
