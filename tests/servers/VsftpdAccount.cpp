#include "servers/VsftpdAccount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool runTool(const QString &program, const QStringList &arguments, const QByteArray &input,
             QString *why)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    if (tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit &&
        tool.exitCode() == 0)
        return true;
    *why = u"%1 failed: %2"_s.arg(program,
                                  QString::fromLocal8Bit(tool.readAllStandardError()).trimmed());
    return false;
}

// Lines of a system list such as /etc/shells, without comments.
QStringList listedNames(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    while (!file.atEnd()) {
        const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            names << line;
    }
    return names;
}

// vsftpd changes into the account's home before it changes into the served folder, so the home
// must be a folder that the account can enter.
constexpr QLatin1String homeFolder("/");

// Creates the account, or gives an existing one a home that vsftpd can enter.
bool createOrRepairAccount(QString *why)
{
    const QString name = VsftpdAccount::name();
    const passwd *account = getpwnam(name.toUtf8().constData());
    if (!account) {
        return runTool(u"/usr/sbin/useradd"_s,
                       {u"-M"_s, u"-s"_s, u"/bin/sh"_s, u"-d"_s, QString(homeFolder), u"-c"_s,
                        u"Vellixon FTP tests"_s, name},
                       {}, why) &&
               runTool(u"/usr/sbin/chpasswd"_s, {},
                       (name + u':' + VsftpdAccount::password() + u'\n').toUtf8(), why);
    }
    if (!QFileInfo(QFile::decodeName(account->pw_dir)).isDir())
        return runTool(u"/usr/sbin/usermod"_s, {u"-d"_s, QString(homeFolder), name}, {}, why);
    return true;
}

// Two test programs may reach here at once on a fresh machine: the second waits for the first.
bool prepareAccountLocked(QString *why)
{
    const QByteArray lockPath =
        QFile::encodeName(QDir::temp().filePath(u"vellix-vsftpd-account.lock"_s));
    const int lock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
        *why = u"cannot lock %1: %2"_s.arg(QFile::decodeName(lockPath),
                                           QString::fromLocal8Bit(std::strerror(errno)));
        if (lock >= 0)
            ::close(lock);
        return false;
    }
    const bool prepared = createOrRepairAccount(why);
    ::close(lock);
    return prepared;
}

QByteArray aclEntry(quint16 tag, quint16 permissions, quint32 id = quint32(ACL_UNDEFINED_ID))
{
    posix_acl_xattr_entry entry{};
    entry.e_tag = qToLittleEndian(tag);
    entry.e_perm = qToLittleEndian(permissions);
    entry.e_id = qToLittleEndian(id);
    return {reinterpret_cast<const char *>(&entry), sizeof entry};
}

// An ACL that adds full access for one user to the usual rwxr-xr-x, in the kernel's xattr form.
QByteArray aclWithUser(uid_t user)
{
    constexpr quint16 all = ACL_READ | ACL_WRITE | ACL_EXECUTE;
    constexpr quint16 readOnly = ACL_READ | ACL_EXECUTE;
    posix_acl_xattr_header header{};
    header.a_version = qToLittleEndian<quint32>(POSIX_ACL_XATTR_VERSION);
    return QByteArray(reinterpret_cast<const char *>(&header), sizeof header) +
           aclEntry(ACL_USER_OBJ, all) + aclEntry(ACL_USER, all, user) +
           aclEntry(ACL_GROUP_OBJ, readOnly) + aclEntry(ACL_MASK, all) +
           aclEntry(ACL_OTHER, readOnly);
}

} // namespace

QString VsftpdAccount::name()
{
    return u"vellixftp"_s;
}

QString VsftpdAccount::password()
{
    return u"Vx7ftpTest42"_s;
}

bool VsftpdAccount::ensure(QString *why)
{
    if (geteuid() != 0) {
        *why = u"not root, cannot create the vsftpd account \"%1\""_s.arg(name());
        return false;
    }
    if (!prepareAccountLocked(why))
        return false;
    const passwd *account = getpwnam(name().toUtf8().constData());
    if (!account) {
        *why = u"the account \"%1\" is still missing after useradd"_s.arg(name());
        return false;
    }
    // Debian's PAM service for vsftpd refuses users with an unlisted shell or listed in ftpusers.
    const QString shell = QString::fromLocal8Bit(account->pw_shell);
    if (!listedNames(u"/etc/shells"_s).contains(shell)) {
        *why =
            u"the shell %1 of the account \"%2\" is not in /etc/shells, so vsftpd refuses it"_s.arg(
                shell, name());
        return false;
    }
    if (listedNames(u"/etc/ftpusers"_s).contains(name())) {
        *why = u"the account \"%1\" is listed in /etc/ftpusers, so vsftpd refuses it"_s.arg(name());
        return false;
    }
    return true;
}

bool VsftpdAccount::grantFolder(const QString &path, QString *why)
{
    const passwd *account = getpwnam(name().toUtf8().constData());
    if (!account) {
        *why = u"the account \"%1\" does not exist"_s.arg(name());
        return false;
    }
    const QByteArray linuxPath = QFile::encodeName(path);
    const QByteArray acl = aclWithUser(account->pw_uid);
    if (::chown(linuxPath.constData(), account->pw_uid, account->pw_gid) == 0 &&
        ::setxattr(linuxPath.constData(), "system.posix_acl_access", acl.constData(),
                   size_t(acl.size()), 0) == 0 &&
        ::setxattr(linuxPath.constData(), "system.posix_acl_default", acl.constData(),
                   size_t(acl.size()), 0) == 0)
        return true;
    *why = u"cannot give %1 to the account \"%2\": %3"_s.arg(
        path, name(), QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

bool VsftpdAccount::grantServedFolder(const QString &privateDir, const QString &served,
                                      QString *why)
{
    const auto passThrough =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    if (QFile::setPermissions(privateDir, passThrough))
        return grantFolder(served, why);
    *why = u"cannot open %1 to the account"_s.arg(privateDir);
    return false;
}
