#include "transport/SecureChannel.h"

#include "transport/ChannelOwner.h"
#include "transport/LocalPath.h"
#include "transport/PageNames.h"
#include "transport/SecureCommand.h"

using namespace Qt::StringLiterals;

SecureChannel::SecureChannel(ChannelOwner &owner)
    : m_owner(owner)
{}

void SecureChannel::setBeforeCommand(std::function<void()> beforeCommand)
{
    m_library.setBeforeCommand(std::move(beforeCommand));
}

std::optional<ServerChannel::ConnectFailure>
SecureChannel::open(const QString &server, const QString &user, const QString &password,
                    const std::function<bool()> &stopped)
{
    QString reply;
    if (!stopped()) {
        setSecureStatusWatch(
            [this, &stopped] { return !stopped() && m_owner.connectGoesOn() && !stopped(); });
        const bool connected =
            m_library.SFtpConnect(user, password, server, reply, &SecureStatusCallback);
        setSecureStatusWatch({});
        if (connected)
            return std::nullopt;
    }
    // A connect given up says nothing about the login data, nor about the server.
    if (stopped())
        return ConnectFailure{false, QStringLiteral("Connecting was cancelled.")};
    // The library says why in words of its own; one of them is the refused login.
    const QString why = SecureCommand::upToNul(reply);
    if (why.contains(QLatin1String("refused the user name or password")))
        return ConnectFailure{true, {}};
    return ConnectFailure{false, why};
}

void SecureChannel::close()
{
    QString reply;
    m_library.SFtpClose(reply);
}

bool SecureChannel::rename(const QString &from, const QString &to)
{
    return command(SecureCommand::command(u"ren ", from, to));
}

bool SecureChannel::makeFolder(const QString &folder)
{
    return command(SecureCommand::command(u"mkdir ", folder));
}

bool SecureChannel::removeFolder(const QString &folder)
{
    return command(SecureCommand::command(u"rmdir ", folder));
}

// The library carries a page's companion folder along itself, when "-h" asks it to.

bool SecureChannel::deleteFile(const QString &remote)
{
    const QStringView verb = PageNames::isSecurePage(remote) ? u"del -h " : u"del ";
    return command(SecureCommand::command(verb, remote));
}

bool SecureChannel::upload(const LocalPath &local, const QString &remote, Resume resume)
{
    // The library takes the local path in the control's own form and finds the file itself.
    return transfer(SecureCommand::command(
        transferVerb(u"put", PageNames::isSecurePage(local.dosPath()), resume), local.dosPath(),
        remote));
}

bool SecureChannel::download(const LocalPath &local, const QString &remote, Resume resume)
{
    return transfer(SecureCommand::command(
        transferVerb(u"get", PageNames::isSecurePage(remote), resume), remote, local.dosPath()));
}

QString SecureChannel::transferVerb(QStringView verb, bool page, Resume resume)
{
    // "-c" lets the library continue what a cut transfer of the same file left.
    return verb.toString() + (page ? u" -h"_s : QString()) +
           (resume == Resume::Continue ? u" -c"_s : QString()) + u' ';
}

std::optional<QString> SecureChannel::currentFolder()
{
    QString reply;
    if (!m_library.SFtpCmd(QStringLiteral("pwd"), reply))
        return std::nullopt;
    return SecureCommand::folderFromPwdReply(reply);
}

bool SecureChannel::setCurrentFolder(const QString &folder, FolderMatch match)
{
    // The library's answer to "cd" is not trusted alone: where the session stands decides,
    // unless any folder the change led to counts.
    const bool changed = command(SecureCommand::command(u"cd ", folder));
    if (match == FolderMatch::AnyPath || folder.startsWith(QLatin1String("..")))
        return changed;
    const QString current = currentFolder().value_or(QString());
    if (!folder.startsWith(QLatin1Char('/')))
        return current.endsWith(folder);
    return current == folder;
}

qint64 SecureChannel::fileSize(const QString &file, SizeMatch match)
{
    QString reply;
    if (!m_library.SFtpCmd(SecureCommand::command(u"dir ", file), reply))
        return -2;
    if (match == SizeMatch::ExactOrLookAlike)
        return SecureCommand::sizeFromDirReply(reply);
    // The listing of a pattern or a folder may name other entries than the file.
    const QString name = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    qint64 size = -1;
    CSFtp::ParseSecureListing(reply, [&](Ftp::Entry &&entry) {
        if (entry.name == name && !entry.isDirectory)
            size = entry.size;
    });
    return size;
}

std::optional<bool> SecureChannel::fileExists(const QString &file)
{
    // The library lists a missing name as nothing, without failing.
    QString reply;
    if (!m_library.SFtpCmd(SecureCommand::command(u"dir ", file), reply))
        return std::nullopt;
    return !SecureCommand::upToNul(reply).isEmpty();
}

ServerChannel::ListingEnd SecureChannel::list(const QString &filter,
                                              const std::function<void(Ftp::Entry &&entry)> &take)
{
    QString reply;
    // A failed listing is still a listing here, an empty one; the library's reply says why.
    if (!m_library.SFtpCmd(SecureCommand::command(u"dir ", filter), reply))
        return {true, reply.isEmpty() ? CSFtp::StatusText() : reply};
    CSFtp::ParseSecureListing(reply, take);
    return {true, {}};
}

double SecureChannel::recordDate(const QDateTime &utc) const
{
    return CSFtp::UnixTimeToLocal(qint32(utc.toSecsSinceEpoch()));
}

QString SecureChannel::failureText() const
{
    return CSFtp::StatusText();
}

bool SecureChannel::failureIsPassing() const
{
    // The library lets a session go once its connection is lost (dead, stalled or gone), and
    // keeps it through a refusal of the server's.
    return !CSFtp::SessionIsOpen();
}

QString SecureChannel::securityNote(bool) const
{
    return CSFtp::NewHostKeyText();
}

bool SecureChannel::command(const QString &text)
{
    QString reply;
    return m_library.SFtpCmd(text, reply);
}

bool SecureChannel::transfer(const QString &text)
{
    QString reply;
    qint64 shown = -1;
    // Asked first with where the transfer starts, then after every block, and again while the
    // library waits for the server: the message loop runs and a cancel is seen there too, also
    // while no byte moves.
    return m_library.SFtpTransfer(text, reply, [&](qint64 done, qint64 total) {
        m_owner.pumpMessages();
        if (m_owner.cancelRequested())
            return false;
        if (shown < 0 && done > 0)
            m_owner.reportResumed(done, total);
        if (done != shown)
            m_owner.reportProgress(done, total);
        shown = done;
        return true;
    });
}
