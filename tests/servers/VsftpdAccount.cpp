#include "servers/VsftpdAccount.h"

#include "servers/ServerProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <pwd.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Whether a system list such as /etc/shells holds the line.
bool listed(const QString &path, const QString &line)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           QString::fromLocal8Bit(file.readAll()).split(u'\n').contains(line);
}

// Folders the servers want and Debian's packages create only when their own services start:
// where vsftpd's sessions wait for their chroot (empty, only root may write), and the folder
// sshd locks its unprivileged children into.
constexpr QLatin1String systemFolders[] = {QLatin1String("/var/run/vsftpd/empty"),
                                           QLatin1String("/run/sshd")};

constexpr auto readableByAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                               QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                               QFile::ExeOther;

// vsftpd changes into the account's home before it changes into the served folder, so the home
// must be a folder that the account can enter.
constexpr QLatin1String homeFolder("/");

// Creates the account, or gives an existing one a home that vsftpd can enter.
bool createOrRepairAccount(QString *why)
{
    const QString name = VsftpdAccount::name();
    const passwd *account = getpwnam(name.toUtf8().constData());
    if (!account) {
        return ServerProcess::runTool(u"/usr/sbin/useradd"_s,
                                      {u"-M"_s, u"-s"_s, u"/bin/sh"_s, u"-d"_s, QString(homeFolder),
                                       u"-c"_s, u"Vellixon FTP tests"_s, name},
                                      why) &&
               ServerProcess::runTool(u"/usr/sbin/chpasswd"_s, {}, why,
                                      (name + u':' + VsftpdAccount::password() + u'\n').toUtf8());
    }
    if (!QFileInfo(QFile::decodeName(account->pw_dir)).isDir())
        return ServerProcess::runTool(u"/usr/sbin/usermod"_s, {u"-d"_s, QString(homeFolder), name},
                                      why);
    return true;
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
    for (const QLatin1String folder : systemFolders) {
        if (!QDir().mkpath(folder) || !QFile::setPermissions(folder, readableByAll)) {
            *why = u"cannot create %1, without which the servers do not start"_s.arg(folder);
            return false;
        }
    }
    // Two test programs may reach here at once on a fresh machine: the second waits for the first.
    QLockFile lock(QDir::temp().filePath(u"vellix-vsftpd-account.lock"_s));
    if (!lock.lock()) {
        *why = u"cannot lock %1"_s.arg(lock.fileName());
        return false;
    }
    if (!createOrRepairAccount(why))
        return false;
    const passwd *account = getpwnam(name().toUtf8().constData());
    if (!account) {
        *why = u"the account \"%1\" is still missing after useradd"_s.arg(name());
        return false;
    }
    // Debian's PAM service for vsftpd refuses users with an unlisted shell or listed in ftpusers.
    const QString shell = QString::fromLocal8Bit(account->pw_shell);
    if (!listed(u"/etc/shells"_s, shell)) {
        *why =
            u"the shell %1 of the account \"%2\" is not in /etc/shells, so vsftpd refuses it"_s.arg(
                shell, name());
        return false;
    }
    if (listed(u"/etc/ftpusers"_s, name())) {
        *why = u"the account \"%1\" is listed in /etc/ftpusers, so vsftpd refuses it"_s.arg(name());
        return false;
    }
    return true;
}

bool VsftpdAccount::grantServedFolder(const QString &privateDir, const QString &served,
                                      QString *why)
{
    const auto passThrough =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const passwd *account = getpwnam(name().toUtf8().constData());
    const QByteArray linuxPath = QFile::encodeName(served);
    const QByteArray acl = account ? aclWithUser(account->pw_uid) : QByteArray();
    if (account && QFile::setPermissions(privateDir, passThrough) &&
        ::chown(linuxPath.constData(), account->pw_uid, account->pw_gid) == 0 &&
        ::setxattr(linuxPath.constData(), "system.posix_acl_access", acl.constData(),
                   size_t(acl.size()), 0) == 0 &&
        ::setxattr(linuxPath.constData(), "system.posix_acl_default", acl.constData(),
                   size_t(acl.size()), 0) == 0)
        return true;
    *why = u"cannot give %1 to the account \"%2\": %3"_s.arg(
        served, name(), QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}
